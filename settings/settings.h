// The per-user settings: the label type and the three leading values, kept in
// an INI file ("Linomark 1.0.ini", section "INI") in the user's config folder.
#pragma once

#include <QString>

#include "settings/settings_file.h"

namespace linomark {

// The values of a first run, which are also the window's design values: a
// first run looks the same as a run with these values stored.
struct StoredValues {
    int type = 0;
    QString column1 = QStringLiteral("A0000");
    QString column2 = QStringLiteral("B0000");
    QString column3 = QStringLiteral("C0000");
};

// Missing keys give their defaults; a "Type" that does not read as 0 or 1
// gives 0; a hand-made value that Qt would decode from a data stream
// (@Variant, @DateTime) reads as missing; an unreadable or garbage file gives
// all the defaults, and so does anything but a regular file (or a link to
// one), which is not even opened.
StoredValues ReadSettings();

// Writes all four keys; the old file is replaced whole or not at all, with
// every other key it holds (a file that does not parse is replaced by one
// with these keys; a streamed value is left out). A file in place
// that is not a regular file (nor a link to one), a file without any write
// permission and a read-only file system are left untouched.
// Fails with why the values could not be saved.
Outcome<Done> WriteSettings(const StoredValues& values);

}  // namespace linomark
