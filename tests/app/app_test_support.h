// Helpers of the program tests: dialogs and a browser that answer without
// blocking, and a started program in a scratch folder.
#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>

#include "dialogs.h"
#include "mdi_main.h"
#include "mod_launch_html.h"

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
    explicit StartedProgram(int screenBits = 24, const QString& folder = {});
    ~StartedProgram();

    QString temp() const { return folder + QStringLiteral("/temp"); }
    QString ini() const { return folder + QStringLiteral("/Mireo.ini"); }

    QString folder;
    std::unique_ptr<MDImain> main;
};

// A scratch folder for one test.
QString ScratchFolder();

void WriteTextFile(const QString& path, const QByteArray& content);
QByteArray ReadTextFile(const QString& path);
