#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace wirtello::test {

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments, int input)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    if (input >= 0)
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);

    std::vector<std::string> texts{program.string()};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (rc != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(rc));
    }
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0) {
        kill();
        wait();
    }
    if (output_ >= 0)
        ::close(output_);
}

std::string ChildProcess::readLine()
{
    for (;;) {
        const std::size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        char chunk[256];
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::exchange(buffered_, {});
        buffered_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string ChildProcess::readRest()
{
    std::string rest = std::exchange(buffered_, {});
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return rest;
        rest.append(chunk, static_cast<std::size_t>(got));
    }
}

void ChildProcess::kill()
{
    if (pid_ > 0)
        ::kill(pid_, SIGKILL);
}

int ChildProcess::wait()
{
    int status = 0;
    if (pid_ <= 0)
        return status;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
}

bool killedBySigkill(int status)
{
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

bool exitedCleanly(int status)
{
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace wirtello::test
