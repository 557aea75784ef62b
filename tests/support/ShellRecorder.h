#pragma once

#include <string>
#include <vector>

#include "Shell.h"

// Records each program start instead of starting anything.
class ShellRecorder : public Shell {
  public:
    struct Started {
        std::string program;
        std::vector<std::string> arguments;
    };

    bool StartDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
        return succeed;
    }

    std::vector<Started> started;
    bool succeed = true;
};
