#include "LocalMariaDb.h"

#include "LocalPort.h"
#include "Processes.h"

LocalMariaDb::LocalMariaDb(const std::string& folder, const std::string& log)
    : folder_(folder),
      log_(log),
      port_(UnusedLocalPort()),
      started_(RunProgram({LOCAL_MARIADB, "start", folder_, std::to_string(port_)}, log_)) {}

LocalMariaDb::~LocalMariaDb() {
    // Also after a failed start: the server may be running even if the database was not made.
    RunProgram({LOCAL_MARIADB, "stop", folder_}, log_);
}
