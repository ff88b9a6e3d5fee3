#pragma once

#include "cash/numbering_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace wirtello::test {

// The bytes of a numbering file holding `number` and `extension`.
inline std::vector<std::uint8_t> numberingBytes(std::int32_t number, const std::string& extension)
{
    NumberingRecord record;
    record.setNumber(kNumberField, number);
    record.setText(kExtensionField, extension);
    const auto bytes = record.bytes();
    return {bytes.begin(), bytes.end()};
}

// Another program's lock on a numbering file, as a stuck workstation holds it.
class HeldNumberingLock {
public:
    explicit HeldNumberingLock(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDWR | O_CLOEXEC))
    {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        held_ = ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
    }
    ~HeldNumberingLock() { release(); }
    HeldNumberingLock(const HeldNumberingLock&) = delete;
    HeldNumberingLock& operator=(const HeldNumberingLock&) = delete;
    bool held() const { return held_; }
    void release()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    bool held_ = false;
};

} // namespace wirtello::test
