#pragma once

// What a hostile user of a shared folder puts in place of the program's files:
// links leading out of the folder, named pipes, sockets and devices. All of it
// is made inside the test's own temporary folder.

#include "store/safe_file.h"
#include "tests/support/temp_folder.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace wirtello::test {

// A program folder "prog", registered as a folder tree, beside a folder
// "outside" that holds a file no write of the program may reach.
struct SharedFolder {
    TempFolder base{"prog", "prog/data", "outside"};
    std::filesystem::path prog = trustFolderTree(base / "prog");
    std::filesystem::path outside = base / "outside";
    std::filesystem::path victim = outside / "victim.dat";
};

// Makes `kind` ("pipe", "socket", "zero device") at `path`; false when this
// system does not let us.
inline bool makeSpecialFile(const std::string& kind, const std::filesystem::path& path)
{
    if (kind == "pipe")
        return ::mkfifo(path.c_str(), 0600) == 0;
    if (kind == "zero device")
        return ::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.string().size() >= sizeof(address.sun_path))
        return false;
    path.string().copy(address.sun_path, sizeof(address.sun_path) - 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// Lets go of a reader that blocks on the named pipe, after two seconds, so a
// reader that waits on a pipe fails its test by the time taken instead of
// hanging the test run.
class PipeReleaser {
public:
    static constexpr std::chrono::seconds kPatience{2};

    explicit PipeReleaser(std::filesystem::path pipe)
        : thread_([pipe = std::move(pipe)](std::stop_token stop) {
              std::mutex mutex;
              std::condition_variable_any wake;
              std::unique_lock lock(mutex);
              wake.wait_for(lock, stop, kPatience, [] { return false; });
              while (!stop.stop_requested()) {
                  const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          })
    {
    }

private:
    std::jthread thread_;
};

} // namespace wirtello::test
