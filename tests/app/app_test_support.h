// Helpers of the program tests: dialogs that answer without blocking, a
// started program in a scratch folder, and small file helpers.
#pragma once

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QStringList>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "imaging/working_bmp.h"
#include "platform/user_dialogs.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"
#include "windows/main_window.h"

// Writes down every message; the file dialogs take the next of `answers`
// (an empty one or none left means "cancelled").
struct RecordingDialogs : Dialogs {
    struct Message { QString text, caption; MessageIcon icon; };
    RecordingDialogs() { SetDialogs(this); }
    ~RecordingDialogs() override { SetDialogs(nullptr); }
    void message(const QString& text, const QString& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    std::optional<QString> openFile(const FileDialogSetup& setup) override {
        fileDialogs.push_back(setup);
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        return answer.isEmpty() ? std::nullopt : std::optional(answer);
    }
    std::optional<QString> saveFile(const FileDialogSetup& setup) override { return openFile(setup); }
    QStringList texts() const {
        QStringList all;
        for (const Message& m : messages) all << m.text;
        return all;
    }

    std::vector<Message> messages;
    std::vector<FileDialogSetup> fileDialogs;
    QStringList answers;
};

inline QImage Filled(QSize size, QColor colour) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}
// A scratch folder for one test, removed at exit.
QString ScratchFolder();
void WriteTextFile(const QString& path, const QByteArray& content);
QByteArray ReadTextFile(const QString& path);
// Runs `step` with files limited to `bytes`, as on a full disk.
void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& step);
// The database mireo-cli writes to `output` when run with `arguments`.
QByteArray CliDatabase(const QStringList& arguments, const QString& output);

// A program started in its own scratch folder, with the given display depth.
struct StartedProgram {
    explicit StartedProgram(int screenBits = 24, const QString& where = {})
        : folder(where.isEmpty() ? ScratchFolder() : where),
          main(std::make_unique<MDImain>(shared, StartupOptions{folder, screenBits})) {}
    QString temp() const { return folder + QStringLiteral("/temp"); }
    QString ini() const { return folder + QStringLiteral("/Mireo.ini"); }
    QToolButton* button(const char* name) const { return main->findChild<QToolButton*>(QLatin1String(name)); }

    QString folder;
    SharedState shared;
    std::unique_ptr<MDImain> main;
};

// A test with a started program and the user's steps on it.
struct ProgramTest : testing::Test {
    SharedState& shared() { return program->shared; }
    Form1& form() { return program->main->form1(); }
    QString file(const QString& name) const { return folder + '/' + name; }
    QString temp(const QString& name) const { return program->temp() + '/' + name; }
    void click(const char* name);
    void load(const QString& path) { dialogs.answers << path; click("cmdLoadPic"); }
    // Saves `picture` in the test's folder and loads it through the dialog.
    void load(const QImage& picture, const QString& name = QStringLiteral("in.bmp")) {
        EXPECT_TRUE(picture.save(file(name), nullptr, 95)) << name;
        load(file(name));
    }
    void create(const QString& path, const QString& typedName = {});  // Create Backimage
    QStringList workingFiles() const { return QDir(program->temp()).entryList({"*.bmp"}, QDir::Files, QDir::Name); }
    QImage bmp(const QString& name) const { return mireo::imaging::readWorkingBmp(temp(name)); }
    // The messages shown since the last call; a test reads every one.
    QStringList takeMessages() {
        const QStringList texts = dialogs.texts();
        dialogs.messages.clear();
        return texts;
    }
    void TearDown() override { EXPECT_EQ(dialogs.texts(), QStringList{}) << "messages no step of the test read"; }

    RecordingDialogs dialogs;
    QString folder = ScratchFolder();
    std::unique_ptr<StartedProgram> program = std::make_unique<StartedProgram>(24, folder);
};

// Readable failure messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& out, const QByteArray& bytes) { return out << '"' << bytes.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& out, QSize size) { return out << size.width() << " x " << size.height(); }
