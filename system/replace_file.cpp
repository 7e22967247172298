#include "system/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace linomark {
namespace {

Failure BecauseOfErrno() { return Fail(std::strerror(errno)); }

// A name beside the file that nothing has; the umask applies to its mode.
int CreateBeside(const std::string& path, std::string& made) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = path + "." + std::to_string(random() % 1000000);
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Why an existing file must be left as it is; empty when it may be replaced.
std::string WhyLeftAlone(const std::string& path, const struct stat& old) {
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "it is read-only, and was left as it is";
    if (::access(path.c_str(), W_OK) != 0) return "permission denied; it was left as it is";
    if (old.st_nlink > 1)
        return "it has other hard links, which a new file would split; it was left as it is";
    return {};
}

// The new file as the old one was: its mode, its owner and group.
bool TakeOver(int fd, const struct stat& old) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) return true;
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return ::fsync(fd) == 0;
}

Outcome<Done> WriteBeside(const std::string& path, std::string_view bytes, const struct stat* old,
                          const std::atomic<bool>& stop) {
    std::string made;
    const int fd = CreateBeside(path, made);
    if (fd < 0) return BecauseOfErrno();
    std::string why;
    if (old && !TakeOver(fd, *old)) why = "its owner or mode cannot be kept; it was left as it is";
    if (why.empty() && !WriteAll(fd, bytes)) why = std::strerror(errno);
    if (::close(fd) != 0 && why.empty()) why = std::strerror(errno);
    if (why.empty() && stop) why = "stopped before it was written";
    if (why.empty() && ::rename(made.c_str(), path.c_str()) != 0) why = std::strerror(errno);
    if (why.empty()) return Done{};
    ::unlink(made.c_str());
    return Fail(why);
}

}  // namespace

Outcome<Done> ReplaceFile(const std::string& path, std::string_view bytes,
                          const std::atomic<bool>& stop) {
    char real[PATH_MAX];
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) return WriteBeside(path, bytes, nullptr, stop);
    if (const std::string why = WhyLeftAlone(path, old); !why.empty()) return Fail(why);
    if (!::realpath(path.c_str(), real)) return BecauseOfErrno();
    return WriteBeside(real, bytes, &old, stop);
}

}  // namespace linomark
