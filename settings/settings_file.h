// The settings file and the checks every reader and writer of it goes
// through: only a regular file, or a link to one, is ever opened, and a file
// that must be left alone (read-only, on a read-only file system, not a
// regular file) is never written.
#pragma once

#include <QString>
#include <functional>

#include "settings/settings_rows.h"
#include "symbology/outcome.h"

namespace linomark {

// $XDG_CONFIG_HOME/Linomark 1.0.ini, or ~/.config/Linomark 1.0.ini when
// XDG_CONFIG_HOME is unset, empty or not an absolute path.
QString SettingsFilePath();

// Every key of the file, read once (a missing file, one that does not parse
// and one that may not be opened give none; a value Qt would decode from a
// data stream reads as missing).
StoredKeys ReadStore();

// Lets `change` set its keys among all the file holds and replaces the file
// whole (a file that does not parse is written afresh); fails with why the
// keys could not be saved.
Outcome<Done> WriteStore(const std::function<void(StoredKeys&)>& change);

}  // namespace linomark
