#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace wirtello::test {

// A helper program started for a test, its standard output read through a pipe.
class ChildProcess {
public:
    // `input` becomes its standard input when not -1.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments, int input = -1);
    // Kills and reaps a child still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of its output without the line end; empty at the end.
    std::string readLine();
    // Everything it printed that was not read yet, up to its end.
    std::string readRest();

    void kill();
    // Waits for it to end; the status as waitpid gives it.
    int wait();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffered_;
};

// Whether the status is that of a process ended by SIGKILL.
bool killedBySigkill(int status);
bool exitedCleanly(int status);

} // namespace wirtello::test
