#include "Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

extern char** environ;

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program with its standard output and error appended to `log`; its pid, or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment,
            const std::string& log, bool ownGroup) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownGroup) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    std::vector<std::string> env = environment;
    for (char** entry = environ; *entry; ++entry) env.emplace_back(*entry);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, args[0].c_str(), &files, &attributes,
                                    Pointers(args).data(), Pointers(env).data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return failed ? -1 : pid;
}

}  // namespace

bool RunProgram(const std::vector<std::string>& args, const std::string& log) {
    const pid_t pid = Spawn(args, {}, log, false);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& args,
                                     const std::vector<std::string>& environment,
                                     const std::string& log)
    : pid_(Spawn(args, environment, log, true)) {}

BackgroundProcess::~BackgroundProcess() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::vector<pid_t> BackgroundProcess::Children() const {
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("PPid:", 0) == 0 && std::stoi(line.substr(5)) == pid_)
                children.push_back(std::stoi(entry.path().filename().string()));
    }
    return children;
}
