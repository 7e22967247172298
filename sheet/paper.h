// The paper a sheet is made on: its size, as a printer or the system names
// it, and the margins the printer cannot print on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "symbology/label_type.h"

namespace linomark {

// Millimetres of unprintable border; all zero when the printer reports none.
struct Margins {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

struct Paper {
    std::string name;  // the PWG self-describing name, "iso_a4_210x297mm"
    float width = 0.0f;
    float height = 0.0f;
    Margins margins;
};

// The paper of a media name: a PWG name ("na_letter_8.5x11in"), a PPD name
// ("Letter", "A4") or a legacy one ("a4", as /etc/papersize writes it). In a
// list ("iso_a4_210x297mm,tray-1") the first item that names a size counts.
// Nothing for a name that names no size.
std::optional<Paper> PaperNamed(std::string_view name);

// The system's paper as libpaper sets it: $PAPERSIZE, else the first word of
// $PAPERCONF or /etc/papersize; A4 when none of them names a size. Those
// files are read only when they are regular files of at most 4 KiB.
Paper SystemPaper();

// Margins a printer reports are believed up to 50 mm; a negative or larger
// one means the report is wrong, and the paper is taken as having none.
Margins SaneMargins(const Margins& reported);

// The media a driver is asked for, so that its page is the PDF's own page:
// a PDF's page is whole points (224 x 48 for 79 x 17 mm), and a driver that
// is given a size a fraction of a point off centres the page on it, which
// moves every bar off the printer's dots. A named size is its name; a
// custom one the PWG name of the PDF's page in whole points.
std::string MediaOfPage(const Paper& paper);

// How a person names the size: "A5", "Letter", or "148 x 210 mm".
std::string PaperDisplayName(const Paper& paper);

}  // namespace linomark
