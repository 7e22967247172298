// Feeds arbitrary bytes to the settings reader as the INI file and aborts when
// the label type read back is anything but 0 or 1. The settings live in a
// private temporary config folder made at start-up and removed at exit.
// As in the program, a QGuiApplication exists while the settings are read.
// The reader leaves out every value Qt would decode from a data stream
// (@Variant, @DateTime, however spelt); one that slipped through could ask
// for gigabytes or a picture type, and libFuzzer reports either.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "settings/settings.h"

namespace {

QGuiApplication* application = nullptr;
QTemporaryDir* configHome = nullptr;
QString storePath;

void Require(bool condition) {
    if (!condition) std::abort();
}

void Ignore(QtMsgType, const QMessageLogContext&, const QString&) {}

void RemoveConfigHome() { delete configHome; }

// QSettings re-reads a file only when its size or time stamp changed, so
// every input gets a time stamp of its own.
bool WriteStore(const std::uint8_t* data, std::size_t size) {
    static qint64 inputs = 0;
    QFile file(storePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();
    return file.setFileTime(QDateTime::fromSecsSinceEpoch(++inputs),
                            QFileDevice::FileModificationTime);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    configHome = new QTemporaryDir;
    Require(configHome->isValid());
    std::atexit(RemoveConfigHome);
    qputenv("HOME", configHome->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome->path().toUtf8());
    storePath = configHome->filePath(QStringLiteral("Linomark 1.0.ini"));
    // Stored @Variant values of unknown types make Qt warn on every input.
    qInstallMessageHandler(Ignore);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Require(WriteStore(data, size));
    const linomark::StoredValues values = linomark::ReadSettings();
    Require(values.type == 0 || values.type == 1);
    return 0;
}
