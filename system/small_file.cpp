#include "system/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace linomark {
namespace {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int Get() const { return fd; }

private:
    int fd;
};

Failure Because(const std::string& path, const std::string& why) { return Fail(path + " " + why); }

Failure BecauseOfErrno(const std::string& path) {
    return Because(path, std::string("cannot be read (") + std::strerror(errno) + ")");
}

// Reads up to largest + 1 bytes, so a file that grew past the limit since it
// was looked at is still refused. The buffer starts at the size the file had
// and grows only if it grew, so a small file costs no more than itself.
Outcome<std::string> ReadAtMost(const std::string& path, int fd, std::size_t largest,
                                std::size_t sizeSeen) {
    std::string text(std::min(sizeSeen, largest) + 1, '\0');
    std::size_t got = 0;
    while (got <= largest) {
        if (got == text.size()) text.resize(std::min(text.size() * 2, largest + 1));
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return BecauseOfErrno(path);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > largest) return Because(path, "is larger than " + std::to_string(largest) + " bytes");
    text.resize(got);
    return text;
}

}  // namespace

std::string NotRegularKind(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return "folder";
    if (S_ISFIFO(mode)) return "named pipe";
    if (S_ISSOCK(mode)) return "socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "device";
    return "special file";
}

// Looked at before it is opened, so nothing but a regular file is opened at
// all; O_NONBLOCK and the check of the opened file itself cover a file
// swapped for a pipe or a device in between.
Outcome<std::string> ReadSmallFile(const std::string& path, std::size_t largest) {
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) return BecauseOfErrno(path);
    if (const std::string kind = NotRegularKind(before.st_mode); !kind.empty())
        return Because(path, "is a " + kind);
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) return BecauseOfErrno(path);
    struct stat opened {};
    if (::fstat(file.Get(), &opened) != 0) return BecauseOfErrno(path);
    if (!S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino ||
        opened.st_dev != before.st_dev)
        return Because(path, "changed while it was opened");
    return ReadAtMost(path, file.Get(), largest, static_cast<std::size_t>(opened.st_size));
}

}  // namespace linomark
