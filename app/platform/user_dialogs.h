// The one seam through which the program shows message boxes and file
// dialogs.  The program installs nothing and gets real Qt boxes; tests
// install their own Dialogs to answer them without blocking.
#pragma once

#include <QString>
#include <optional>

enum class MessageIcon { None, Information };

// The settings of the common file dialog.  `filter` uses the
// "Description|*.a;*.b|..." form; `filterIndex` counts from 1.
struct FileDialogSetup {
    QString title;
    QString fileName;
    QString filter;
    int filterIndex = 1;
    QString defaultExtension;
    int flags = 0;
};

// Flags of the file dialog.  Qt's dialogs never show a read-only box.
constexpr int kOverwritePrompt = 0x2;   // ask before an existing file is replaced
constexpr int kHideReadOnly = 0x4;
constexpr int kPathMustExist = 0x800;   // only an existing folder is accepted

// A save dialog with a one-entry filter that asks before a file is replaced
// and takes only an existing folder.
FileDialogSetup SaveDialogSetup(const QString& title, const QString& filter, const QString& defaultExtension);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal box with one OK button.
    virtual void message(const QString& text, const QString& caption, MessageIcon icon) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> openFile(const FileDialogSetup& setup) = 0;
    virtual std::optional<QString> saveFile(const FileDialogSetup& setup) = 0;
};

// The dialogs in use; `nullptr` goes back to the Qt dialogs.
Dialogs& dialogs();
void SetDialogs(Dialogs* replacement);

// A message box with the program's name as caption unless one is given.
void MsgBox(const QString& text, MessageIcon icon = MessageIcon::None, const QString& caption = {});

// "Image File (*.bmp;*.jpg)|*.bmp;*.jpg" in the form QFileDialog takes,
// each pattern also in capitals since Linux names are case-sensitive.
QString QtFileFilter(const QString& filter);
