// Shared helpers of the window tests: finding the window's controls by name,
// reading the preview back with a barcode reader, catching message boxes and
// pointing the settings store at a folder of the test's own.
#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ui/form1.h"

namespace uitest {

// A control of the window by its design name; the test fails when it is missing.
template <class Control>
Control* Find(QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (!control)
        QTest::qFail(qPrintable(QStringLiteral("no control %1").arg(name)), __FILE__, __LINE__);
    return control;
}

// Types the characters one by one, as keys, into the named leading-value box
// or column list, emptied first, and returns its text; a list's reads back
// with its "\r\n" line breaks. A character outside ASCII comes as the key of
// its upper-case letter with the typed text, as a keyboard layout sends it.
QString TypeIntoEmptiedBox(QWidget& window, const char* box, const QString& characters);

// What a Code 39 reader reads from the preview picture: the value with its
// check character for type 0. Empty when no symbol is found.
QString ReadPreview(const QImage& picture);

// The preview picture of the window.
const QImage& PreviewPicture(QWidget& window);

// Records, then closes, every message box that comes up while it lives.
class MessageBoxCatcher {
public:
    // Each box is answered with the button of that text, or with OK.
    explicit MessageBoxCatcher(const QString& answer = {});

    QStringList titles;
    QStringList texts;
    QList<int> icons;

private:
    QTimer poll;
};

// A settings store of the test's own: an empty folder that the program takes
// for its config folder (XDG_CONFIG_HOME) until the next SettingsFolder.
class SettingsFolder {
public:
    SettingsFolder();
    ~SettingsFolder();
    [[nodiscard]] QString FilePath() const;
    void Write(const QByteArray& iniText) const;
    [[nodiscard]] QByteArray Read() const;
    // Make the store unwritable: a folder takes the file's place, or the
    // store moves under a plain file, where no folder can be made (both hold
    // for the superuser too), or its folder is made read-only.
    void BlockWithFolder() const;
    void MoveUnderPlainFile() const;
    void MakeReadOnly() const;

private:
    QTemporaryDir folder;
};

// A new window, shown and active, with the start-up focus in place.
std::unique_ptr<linomark::Form1> ShowWindow();

// A test case whose every test function gets a fresh settings store and a
// new window on it, both gone after the function.
class WindowTestCase : public QObject {
    Q_OBJECT

protected slots:
    void init();
    void cleanup();

protected:
    std::unique_ptr<SettingsFolder> settings;
    std::unique_ptr<linomark::Form1> window;
};

}  // namespace uitest
