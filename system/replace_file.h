// Writing a file the user names, as a whole or not at all: the bytes go into
// a new file beside it, which takes the old file's mode and owner and is
// renamed over it only once written whole and unless stopped. What was there
// before stays as it was otherwise. A file without write permission (by its
// mode bits, so also for the superuser), one with other hard links (a new
// file would split them) and one whose owner the new file could not keep are
// refused and left alone.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "symbology/outcome.h"

namespace linomark {

// A failure says why, without the path; a link is followed and kept.
Outcome<Done> ReplaceFile(const std::string& path, std::string_view bytes,
                          const std::atomic<bool>& stop);

}  // namespace linomark
