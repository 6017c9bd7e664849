// Helpers of the program tests: dialogs and a browser that answer without
// blocking, a started program in a scratch folder, and small file helpers.
#pragma once

#include <QStringList>
#include <memory>
#include <ostream>
#include <optional>
#include <vector>

#include "platform/browser.h"
#include "platform/user_dialogs.h"
#include "program/shared_state.h"
#include "windows/main_window.h"

class QToolButton;

class RecordingDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon;
    };

    RecordingDialogs() { SetDialogs(this); }
    ~RecordingDialogs() override { SetDialogs(nullptr); }

    void message(const QString& text, const QString& caption, MessageIcon icon) override;
    std::optional<QString> openFile(const FileDialogSetup& setup) override;
    std::optional<QString> saveFile(const FileDialogSetup& setup) override;

    QStringList texts() const;

    std::vector<Message> messages;
    std::vector<FileDialogSetup> fileDialogs;
    // Answers of the next file dialogs; an empty one or none left means "cancelled".
    QStringList answers;
};

class FakeBrowser : public BrowserPlatform {
public:
    FakeBrowser() { SetBrowserPlatform(this); }
    ~FakeBrowser() override { SetBrowserPlatform(nullptr); }

    QString findBrowserFor(const QString& file) override;
    bool launch(const QString& browser, const QString& page) override;

    QString browser;            // what findBrowserFor answers
    bool launchSucceeds = true;
    QString askedAbout;         // the file findBrowserFor was given
    QByteArray askedContent;    // its content at that moment
    QStringList launched;       // "browser page" of every launch
};

// A program started in its own scratch folder, with the given display depth.
struct StartedProgram {
    explicit StartedProgram(int screenBits = 24, const QString& folder = {},
                            const mireo::imaging::Library* library = nullptr);
    ~StartedProgram();

    QString temp() const { return folder + QStringLiteral("/temp"); }
    QString ini() const { return folder + QStringLiteral("/Mireo.ini"); }
    QToolButton* button(const char* name) const;

    QString folder;
    SharedState shared;
    std::unique_ptr<MDImain> main;
};

// A scratch folder for one test, removed at exit.
QString ScratchFolder();

void WriteTextFile(const QString& path, const QByteArray& content);

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QByteArray& bytes, std::ostream* out);
void PrintTo(const QStringList& texts, std::ostream* out);
QByteArray ReadTextFile(const QString& path);
