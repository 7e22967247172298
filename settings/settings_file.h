// The settings file and the checks every reader and writer of it goes
// through: only a regular file, or a link to one, is ever opened, and a file
// that must be left alone (read-only, on a read-only file system, not a
// regular file) is never written.
#pragma once

#include <QSettings>
#include <QString>
#include <functional>
#include <optional>

#include "symbology/outcome.h"

namespace linomark {

// $XDG_CONFIG_HOME/Linomark 1.0.ini, or ~/.config/Linomark 1.0.ini when
// XDG_CONFIG_HOME is unset, empty or not an absolute path.
QString SettingsFilePath();

// Hands the store to `read` when it may be opened (a missing file, or one
// that does not parse, reads as empty; a value Qt would decode from a data
// stream reads as missing); returns whether it did.
bool ReadStore(const std::function<void(const QSettings&)>& read);

// Lets `write` set its keys and replaces the file whole, keeping every other
// key in it (a file that does not parse is written afresh); fails with why
// the keys could not be saved.
Outcome<Done> WriteStore(const std::function<void(QSettings&)>& write);

// A number kept as text, read the same in every locale: none when a value
// written by hand is no plain decimal number within [low, high].
std::optional<double> NumberIn(const QVariant& stored, double low, double high);

}  // namespace linomark
