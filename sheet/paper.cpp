#include "sheet/paper.h"

#include <cups/cups.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "system/small_file.h"

namespace linomark {
namespace {

constexpr float kHundredthsPerMillimetre = 100.0f;
constexpr float kLargestBelievableMargin = 50.0f;
constexpr char kA4[] = "iso_a4_210x297mm";
// libpaper's files hold one paper name and perhaps a comment; anything
// larger is not one of them.
constexpr std::size_t kLargestPaperFile = 4096;

std::optional<Paper> PaperOfMedia(const pwg_media_t* media) {
    if (!media || !media->pwg || media->width <= 0 || media->length <= 0) return std::nullopt;
    return Paper{media->pwg,
                 static_cast<float>(media->width) / kHundredthsPerMillimetre,
                 static_cast<float>(media->length) / kHundredthsPerMillimetre,
                 {}};
}

// libcups knows the three kinds of names; each lookup that fails costs
// nothing more than a table search. libpaper writes the PPD names in lower
// case ("a4", "letter"), which the PPD table holds capitalised.
std::optional<Paper> PaperOfOneName(std::string name) {
    if (name.empty()) return std::nullopt;
    if (auto paper = PaperOfMedia(pwgMediaForPWG(name.c_str()))) return paper;
    if (auto paper = PaperOfMedia(pwgMediaForLegacy(name.c_str()))) return paper;
    if (auto paper = PaperOfMedia(pwgMediaForPPD(name.c_str()))) return paper;
    name.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(name.front())));
    return PaperOfMedia(pwgMediaForPPD(name.c_str()));
}

// A file that is missing, too large or anything but a regular file counts
// as absent.
std::string FirstWordOfFile(const char* path) {
    const Outcome<std::string> text = ReadSmallFile(path, kLargestPaperFile);
    if (!text) return {};
    std::istringstream file(text.Value());
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string word;
        if (words >> word && word.front() != '#') return word;
    }
    return {};
}

std::string SystemPaperName() {
    if (const char* size = std::getenv("PAPERSIZE"); size && *size) return size;
    const char* conf = std::getenv("PAPERCONF");
    return FirstWordOfFile(conf && *conf ? conf : "/etc/papersize");
}

bool Believable(float margin) { return margin >= 0.0f && margin <= kLargestBelievableMargin; }

}  // namespace

std::optional<Paper> PaperNamed(std::string_view name) {
    std::istringstream items{std::string(name)};
    std::string item;
    while (std::getline(items, item, ',')) {
        if (auto paper = PaperOfOneName(item)) return paper;
    }
    return std::nullopt;
}

Paper SystemPaper() {
    if (auto paper = PaperNamed(SystemPaperName())) return *paper;
    return *PaperNamed(kA4);
}

Margins SaneMargins(const Margins& reported) {
    const bool sane = Believable(reported.left) && Believable(reported.top) &&
                      Believable(reported.right) && Believable(reported.bottom);
    return sane ? reported : Margins{};
}

std::string MediaOfPage(const Paper& paper) {
    if (paper.name.rfind("custom_", 0) != 0) return paper.name;
    // CUPS cuts a custom size down to whole points (Custom.224x48), so the
    // hundredths of a millimetre are rounded up: 224 pt is 79.03 mm.
    const auto inWholePoints = [](float mm) {
        return std::ceil(std::round(mm * 72.0f / 25.4f) * 25.4f / 72.0f * 100.0f) / 100.0f;
    };
    char name[96];
    const float width = inWholePoints(paper.width), height = inWholePoints(paper.height);
    std::snprintf(name, sizeof name, "custom_%gx%gmm_%gx%gmm", width, height, width, height);
    return name;
}

std::string PaperDisplayName(const Paper& paper) {
    const pwg_media_t* media = pwgMediaForPWG(paper.name.c_str());
    if (media && media->ppd && std::string_view(media->ppd).find('.') == std::string_view::npos)
        return media->ppd;
    char text[64];
    std::snprintf(text, sizeof text, "%g x %g mm", std::round(paper.width * 10.0f) / 10.0f,
                  std::round(paper.height * 10.0f) / 10.0f);
    return text;
}

}  // namespace linomark
