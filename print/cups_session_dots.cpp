// The resolution questions of a CUPS session: how many dots per inch the
// job's raster has, as the queue's driver will make it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "print/cups_session.h"

namespace linomark {
namespace {

// A PPD is a few dozen KiB; the default is looked for in this much of it.
constexpr std::size_t kLargestPpd = 1024 * 1024;
constexpr char kDefaultResolution[] = "*DefaultResolution:";

// "300dpi", "600x600dpi", "300x600dpi": the first number (across, the axis
// the bars lie along); 0 for anything else, dots per centimetre included.
int DotsPerInchOf(const char* value) {
    if (!value) return 0;
    char* end = nullptr;
    const long dots = std::strtol(value, &end, 10);
    if (dots <= 0 || dots > 10000) return 0;
    if (*end == 'x') std::strtol(end + 1, &end, 10);
    return std::strcmp(end, "dpi") == 0 ? static_cast<int>(dots) : 0;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// CUPS reports a made-up 300 dpi for a PPD that names no resolution, so the
// PPD itself is read for its default.
int CupsSession::PpdResolution() const {
    const std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    if (!file) return 0;
    const std::string resource = "/printers/" + QueueName().toStdString() + ".ppd";
    if (cupsGetFd(http, resource.c_str(), fileno(file.get())) != HTTP_STATUS_OK) return 0;
    std::rewind(file.get());
    std::string text(kLargestPpd, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    const std::size_t at = text.find(kDefaultResolution);
    if (at == std::string::npos) return 0;
    const std::size_t start = text.find_first_not_of(' ', at + sizeof kDefaultResolution - 1);
    const std::size_t end = text.find_first_of(" \r\n", start);
    return start == std::string::npos ? 0 : DotsPerInchOf(text.substr(start, end - start).c_str());
}

int CupsSession::Resolution() const {
    for (const char* option : {"printer-resolution", "Resolution"}) {
        if (const int dots = DotsPerInchOf(cupsGetOption(option, dest->num_options, dest->options)))
            return dots;
    }
    return PpdResolution();
}

}  // namespace linomark
