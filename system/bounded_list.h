// Reading a list the user names (a file, a pipe, standard input) in bounded
// pieces. A list is read only up to the first line past its most lines, or
// refused at its most bytes, so an endless input such as /dev/zero costs a
// mebibyte, never the machine; a wait for more input ends once the stop flag
// is raised. Pasted lists are held to the same bounds.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "symbology/outcome.h"

namespace linomark {

// 10,000 lines of tags, each with a comment, fit in it.
inline constexpr std::size_t kListMostBytes = std::size_t{1} << 20;

// The text of the list at path ("-": standard input), read no further than
// the piece that holds a line past mostLines lines, which the caller's line
// count then refuses. Fails for a list past kListMostBytes, for a folder, a socket or a block
// device, when it cannot be read, and when stopped.
Outcome<std::string> ReadBoundedList(const std::string& path, std::size_t mostLines,
                                     const std::atomic<bool>& stop);

// The same bound for a list already in memory: empty when it is within it,
// else why not.
std::string ListTooLarge(std::string_view text);

}  // namespace linomark
