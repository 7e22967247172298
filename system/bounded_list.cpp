#include "system/bounded_list.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "system/small_file.h"

namespace linomark {
namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;
// How often a wait for more input looks at the stop flag.
constexpr int kPollStepMs = 100;

std::string Named(const std::string& path) {
    return path == "-" ? std::string("from standard input") : path;
}

Failure CannotRead(const std::string& path) {
    return Fail("The list " + Named(path) + " could not be read: " + std::strerror(errno));
}

// The offset just past the line that follows mostLines lines, or npos while
// the text has no such line yet.
std::size_t EndOfLinePastLimit(std::string_view text, std::size_t mostLines) {
    std::size_t at = 0;
    for (std::size_t line = 0; line < mostLines; ++line) {
        at = text.find('\n', at);
        if (at == std::string_view::npos) return at;
        ++at;
    }
    return at < text.size() ? text.size() : std::string_view::npos;
}

// Waits for input until it comes or the stop flag is raised; a regular file
// is always ready.
bool WaitForInput(int fd, const std::atomic<bool>& stop) {
    pollfd ready{fd, POLLIN, 0};
    while (!stop) {
        const int n = ::poll(&ready, 1, kPollStepMs);
        if (n > 0 || (n < 0 && errno != EINTR)) return true;
    }
    return false;
}

Outcome<std::string> ReadPieces(const std::string& path, int fd, std::size_t mostLines,
                                const std::atomic<bool>& stop) {
    std::string text;
    for (;;) {
        if (!WaitForInput(fd, stop)) return Fail("Stopped while the list was read.");
        const std::size_t had = text.size();
        text.resize(had + kPieceBytes);
        const ssize_t n = ::read(fd, text.data() + had, kPieceBytes);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return CannotRead(path);
        text.resize(had + static_cast<std::size_t>(n));
        if (n == 0 || EndOfLinePastLimit(text, mostLines) != std::string_view::npos) return text;
        if (const std::string why = ListTooLarge(text); !why.empty()) {
            return Fail("The list " + Named(path) + why);
        }
    }
}

}  // namespace

std::string ListTooLarge(std::string_view text) {
    if (text.size() <= kListMostBytes) return {};
    return " is larger than 1 MiB (" + std::to_string(kListMostBytes) +
           " bytes); print it in parts.";
}

// A pipe and a character device (a terminal) are read as they come; what
// cannot hold a list, or is changed by opening it, is refused unopened.
Outcome<std::string> ReadBoundedList(const std::string& path, std::size_t mostLines,
                                     const std::atomic<bool>& stop) {
    if (path == "-") return ReadPieces(path, STDIN_FILENO, mostLines, stop);
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return CannotRead(path);
    if (S_ISDIR(status.st_mode) || S_ISSOCK(status.st_mode) || S_ISBLK(status.st_mode)) {
        return Fail("The list " + path + " is a " + NotRegularKind(status.st_mode) +
                    ", not a file of serials.");
    }
    // Opening a named pipe waits for its writer; opened without waiting, the
    // wait is the reading's, which the stop flag ends.
    const bool pipe = S_ISFIFO(status.st_mode);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | (pipe ? O_NONBLOCK : 0));
    if (fd < 0) return CannotRead(path);
    if (pipe) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    Outcome<std::string> text = ReadPieces(path, fd, mostLines, stop);
    ::close(fd);
    return text;
}

}  // namespace linomark
