// A second process on the same settings file:
//   settings_tool write TYPE COLUMN1 COLUMN2 COLUMN3   exit 1 with the reason when not saved
//   settings_tool read   the four values on stdout, each followed by a NUL byte;
//                        exit 2 when the file on disk does not parse cleanly
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

#include "settings/settings.h"

namespace {

int write(const QStringList& args) {
    const linomark::StoredValues values{args[0].toInt(), args[1], args[2], args[3]};
    const linomark::Outcome<linomark::Done> saved = linomark::WriteSettings(values);
    if (saved) return 0;
    std::fputs(saved.Reason().c_str(), stderr);
    return 1;
}

int read() {
    const linomark::StoredValues values = linomark::ReadSettings();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) return 1;
    for (const QString& text :
         {QString::number(values.type), values.column1, values.column2, values.column3})
        out.write(text.toUtf8().append('\0'));
    // Only a regular file is opened: a named pipe in its place would block.
    if (!QFileInfo(linomark::SettingsFilePath()).isFile()) return 0;
    QSettings onDisk(linomark::SettingsFilePath(), QSettings::IniFormat);
    onDisk.allKeys();
    return onDisk.status() == QSettings::NoError ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 5 && args[0] == "write") return write(args.mid(1));
    if (args.size() == 1 && args[0] == "read") return read();
    std::fputs("usage: settings_tool write TYPE C1 C2 C3 | read\n", stderr);
    return 64;
}
