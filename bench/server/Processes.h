#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs a program found on PATH (or by its path) to its end, its output appended to `log`;
// true when it exits with 0.
bool RunProgram(const std::vector<std::string>& args, const std::string& log);

// A program running in the background in a process group of its own, which is ended whole
// when this goes: PHP's web server, ended alone, leaves its workers serving.
class BackgroundProcess {
  public:
    // `environment` holds "NAME=value" entries added to this program's own environment.
    BackgroundProcess(const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, const std::string& log);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // The processes this one has started, such as PHP's web server's workers.
    std::vector<pid_t> Children() const;

  private:
    pid_t pid_ = -1;
};
