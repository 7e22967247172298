// The paper questions of a CUPS session: which paper the job goes out on,
// the printer's margins for it, and its colour.
#include <cstdlib>
#include <cstring>

#include "print/cups_session.h"
#include "system/failure_text.h"
#include "print/print_faults.h"

namespace linomark {
namespace {

float Millimetres(int hundredths) { return static_cast<float>(hundredths) / 100.0f; }

// libcups answers a name it does not list with the nearest size it does, so
// the answer counts only when it is the size asked for.
constexpr int kSameSizeHundredths = 100;

bool SameSize(const cups_size_t& size, const Paper& paper) {
    return std::abs(size.width - static_cast<int>(paper.width * 100.0f)) <= kSameSizeHundredths &&
           std::abs(size.length - static_cast<int>(paper.height * 100.0f)) <= kSameSizeHundredths;
}

// The smallest or largest size of a printer's custom range ("custom_min_..."),
// copied: libcups answers in one buffer that its next answer overwrites.
std::optional<pwg_media_t> CustomBound(ipp_attribute_t* media, const char* prefix) {
    for (int i = 0; i < ippGetCount(media); ++i) {
        const char* name = ippGetString(media, i, nullptr);
        if (!name || std::strncmp(name, prefix, std::strlen(prefix)) != 0) continue;
        if (const pwg_media_t* size = pwgMediaForPWG(name)) return *size;
    }
    return std::nullopt;
}

}  // namespace

// A class passes each job to one of its members, so the sheet must fit the
// paper of any; it is made for the first member's. (Members that agree give
// the same; members that differ cannot all be met.) Offsets stay kept under
// the class's name.
void CupsSession::UseFirstMembersPaper() {
    const char* type = cupsGetOption("printer-type", dest->num_options, dest->options);
    if (!type || !(std::atoi(type) & CUPS_PRINTER_CLASS) ||
        cupsGetDestMediaCount(http, dest, info, CUPS_MEDIA_FLAGS_DEFAULT) > 0)
        return;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 cupsGetOption("printer-uri-supported", dest->num_options, dest->options));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "member-names");
    ipp_t* response = cupsDoRequest(http, request, "/");
    ipp_attribute_t* names = ippFindAttribute(response, "member-names", IPP_TAG_NAME);
    const char* first = names ? ippGetString(names, 0, nullptr) : nullptr;
    member = first ? cupsGetNamedDest(http, first, nullptr) : nullptr;
    ippDelete(response);
    memberInfo = member ? cupsCopyDestInfo(http, member) : nullptr;
}

// The printer's default media, as it reports it over IPP; a queue with a
// driver reports the paper it was set up with, a raw queue reports none.
std::string CupsSession::PaperNameFromPrinter() const {
    for (const char* option : {"media", "PageSize"}) {
        if (const char* name = cupsGetOption(option, dest->num_options, dest->options)) return name;
    }
    ipp_attribute_t* media = memberInfo ? cupsFindDestDefault(http, member, memberInfo, "media")
                                        : cupsFindDestDefault(http, dest, info, "media");
    const char* name = media ? ippGetString(media, 0, nullptr) : nullptr;
    return name ? name : "";
}

// The margins of a paper the printer lists; none for a paper it does not
// list. A printer that lists no paper at all (a raw queue) takes any, with
// no margins.
std::optional<Margins> CupsSession::ListedMargins(const Paper& paper) const {
    cups_dest_t* printer = memberInfo ? member : dest;
    cups_dinfo_t* facts = memberInfo ? memberInfo : info;
    cups_size_t size{};
    if (cupsGetDestMediaByName(http, printer, facts, paper.name.c_str(), CUPS_MEDIA_FLAGS_DEFAULT,
                               &size) &&
        SameSize(size, paper)) {
        return SaneMargins({Millimetres(size.left), Millimetres(size.top), Millimetres(size.right),
                            Millimetres(size.bottom)});
    }
    if (TakesCustomSize(paper)) return Margins{};
    if (cupsGetDestMediaCount(http, printer, facts, CUPS_MEDIA_FLAGS_DEFAULT) == 0)
        return Margins{};
    return std::nullopt;
}

// A label printer takes any size in its custom range (a PPD's
// VariablePaperSize, Custom.79x17mm), without margins of its own.
bool CupsSession::TakesCustomSize(const Paper& paper) const {
    ipp_attribute_t* media = cupsFindDestSupported(http, memberInfo ? member : dest,
                                                   memberInfo ? memberInfo : info, "media");
    const std::optional<pwg_media_t> smallest = CustomBound(media, "custom_min_");
    const std::optional<pwg_media_t> largest = CustomBound(media, "custom_max_");
    if (!smallest || !largest) return false;
    const int width = static_cast<int>(paper.width * 100.0f);
    const int length = static_cast<int>(paper.height * 100.0f);
    return width >= smallest->width && width <= largest->width && length >= smallest->length &&
           length <= largest->length;
}

Outcome<Paper> CupsSession::PrinterPaper(const std::optional<Paper>& wanted) const {
    Paper paper = wanted.value_or(PaperNamed(PaperNameFromPrinter()).value_or(SystemPaper()));
    const std::optional<Margins> margins = ListedMargins(paper);
    if (!margins) {
        const QString printer = QueueName();
        const QString size = QString::fromStdString(PaperDisplayName(paper));
        const QString own =
            wanted ? QStringLiteral(" The printer's own paper is %1.")
                         .arg(QString::fromStdString(PaperDisplayName(
                             PaperNamed(PaperNameFromPrinter()).value_or(SystemPaper()))))
                   : QString();
        return Failed(PrintFault::PaperNotTaken, {printer, size, own});
    }
    paper.margins = *margins;
    return paper;
}

bool CupsSession::Colour() const {
    return cupsCheckDestSupported(http, dest, info, CUPS_PRINT_COLOR_MODE,
                                  CUPS_PRINT_COLOR_MODE_COLOR) != 0;
}

bool CupsSession::Paused() const {
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    return state && std::atoi(state) == IPP_PSTATE_STOPPED;
}

}  // namespace linomark
