// The help page in the default browser, and the about box.
#include <QFile>

#include "commands/start_browser.h"
#include "dialogs/frm_about.h"
#include "platform/browser.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/program_folder.h"
#include "program/shared_state.h"
#include "windows/loaded_forms.h"
#include "windows/main_window.h"

namespace {

// Removes the throw-away page on every way out.
struct ThrowAwayPage {
    QString path;
    ~ThrowAwayPage() { QFile::remove(path); }
};

void writeThrowAwayPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(" <\\HTML>\n") < 0)
        throw AppError{kErrPathFileAccess, QStringLiteral("Path/File access error")};
}

} // namespace

void StartBrowser(QWidget*, const QString& page, const QString& folder) {
    try {
        ThrowAwayPage throwAway{folder + QStringLiteral("/temphtm.HTM")};
        writeThrowAwayPage(throwAway.path);
        const QString browser = Browser().findBrowserFor(throwAway.path).trimmed();
        if (browser.isEmpty())
            MsgBox(QStringLiteral("Could not find a browser"));
        else if (!Browser().launch(browser, page))
            MsgBox(QStringLiteral("Web Page not Opened"));
    } catch (const AppError& error) {
        MsgBox(QStringLiteral("Error #%1 %2 occurred in SecurityMod, while executing StartBrowser.")
                   .arg(error.number)
                   .arg(error.description));
    }
}

void MDImain::cmdHelp_Click() { StartBrowser(this, HelpPagePath(options_.programFolder), shared.AppPath); }

// The about box shows without blocking; a second press brings it forward.
void MDImain::cmdAbout_Click() {
    if (QWidget* open = FindForm(QStringLiteral("frmAbout")); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    (new frmAbout(*this))->show();
}
