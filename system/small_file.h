// Reading a small file the program reads itself (the paper files, the
// settings): only a regular file, or a link to one, is ever opened, and never
// in a way that could wait. A named pipe without a writer would block the
// read forever, a device such as /dev/zero never ends, and opening some
// devices (a tape drive rewinds) does something by itself.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "symbology/outcome.h"

namespace linomark {

// What a file of this mode is called in a reason ("a named pipe"); empty for
// a regular file.
std::string NotRegularKind(mode_t mode);

// The whole file, when `path` leads to a regular file of at most `largest`
// bytes. Anything else fails and says why: missing, not a regular file (named
// as NotRegularKind does), too large, or unreadable.
Outcome<std::string> ReadSmallFile(const std::string& path, std::size_t largest);

}  // namespace linomark
