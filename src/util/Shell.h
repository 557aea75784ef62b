#pragma once

#include <string>
#include <vector>

// Starts other programs. Arguments are handed over one by one, never through a command
// interpreter, so no byte of them is ever interpreted.
class Shell {
  public:
    virtual ~Shell() = default;
    // Starts `program` detached; true when it started.
    virtual bool StartDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

class ProcessShell : public Shell {
  public:
    bool StartDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override;
};
