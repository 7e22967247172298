// The options of the command line, read into one command. Whatever does not
// make sense together is a usage error named here, before anything is asked
// of a printer or made.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "symbology/outcome.h"

namespace linomark {

struct Command {
    enum class Action { Help, Version, ListSheets, Pdf, Print };
    Action action = Action::Help;
    QString file;     // --pdf
    QString printer;  // --printer; empty: the default printer
    int dpi = 0;      // --dpi; 0: the printer's resolution, if it names one

    // The window's sheet: its type and the leading values given, in order.
    int type = 0;
    QStringList values;

    // An LTO run (--lto FIRST) or list (--list FILE, "-" for standard input).
    bool lto = false;
    QString first;
    QString listFile;
    QString media;
    std::optional<int> count;
    QString sheet;  // empty: the stock of the printer's paper
    int start = 1;
    std::optional<bool> colour;  // none: the default for the target
};

// The arguments without the program's name. A failure is the usage error in
// words.
Outcome<Command> ReadCommand(const QStringList& arguments);

// The text of --help: the synopsis and every option on a line of its own.
QString HelpText();

}  // namespace linomark
