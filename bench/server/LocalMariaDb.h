#pragma once

#include <string>

// A private MariaDB server on 127.0.0.1 for the run, started and stopped by the project's own
// script, with the database "qlsp" for the user "qlsp", password "qlsp".
class LocalMariaDb {
  public:
    // Starts it with its data in `folder`; its script's output goes to `log`.
    LocalMariaDb(const std::string& folder, const std::string& log);
    ~LocalMariaDb();
    LocalMariaDb(const LocalMariaDb&) = delete;
    LocalMariaDb& operator=(const LocalMariaDb&) = delete;

    bool Started() const { return started_; }
    int Port() const { return port_; }

  private:
    std::string folder_;
    std::string log_;
    int port_;
    bool started_;
};
