// Values in an INI settings file that Qt would decode from a data stream:
// "@Variant(...)" and "@DateTime(...)", however they are spelt. QDataStream
// believes the lengths inside them, so a hand-made one can ask for gigabytes
// or for a picture type; the program writes only text (a text of its own
// that starts with "@" is written "@@") and never reads them.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace linomark {

// The file without the lines whose value Qt would decode from a stream;
// every other byte stays as it was. Lines are cut as Qt's INI reader cuts
// them (a quoted value and an escaped line break go on to the next line).
QByteArray WithoutStreamedValues(QByteArrayView ini);

// Whether a text, unescaped as Qt unescapes a value, names a streamed value
// anywhere in it.
bool HoldsStreamedValue(QByteArrayView value);

}  // namespace linomark
