#include "mod_launch_html.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include "dialogs.h"
#include "run_time_error.h"
#include "shared_state.h"

namespace {

constexpr int kQueryTimeoutMs = 5000;

// Asks xdg-mime; an empty text when it is missing, fails or says nothing.
QString xdgMime(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), arguments);
    if (!process.waitForFinished(kQueryTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished(kQueryTimeoutMs);
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

class DesktopBrowser final : public BrowserPlatform {
public:
    QString findBrowserFor(const QString& file) override {
        const QString type = xdgMime({QStringLiteral("query"), QStringLiteral("filetype"), file});
        return type.isEmpty() ? QString() : xdgMime({QStringLiteral("query"), QStringLiteral("default"), type});
    }
    // The desktop starts its associated program itself.
    bool launch(const QString&, const QString& page) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(page));
    }
};

BrowserPlatform* installed = nullptr;

// Removes the throw-away page on every way out.
struct ThrowAwayPage {
    QString path;
    ~ThrowAwayPage() { QFile::remove(path); }
};

void writeThrowAwayPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(" <\\HTML>\n") < 0)
        throw RunTimeError{kErrPathFileAccess, QStringLiteral("Path/File access error")};
}

} // namespace

BrowserPlatform& Browser() {
    static DesktopBrowser desktop;
    return installed ? *installed : desktop;
}

void SetBrowserPlatform(BrowserPlatform* replacement) { installed = replacement; }

void StartBrowser(QWidget*, const QString& page) {
    try {
        ThrowAwayPage throwAway{AppPath + QStringLiteral("/temphtm.HTM")};
        writeThrowAwayPage(throwAway.path);
        const QString browser = Browser().findBrowserFor(throwAway.path).trimmed();
        if (browser.isEmpty())
            MsgBox(QStringLiteral("Could not find a browser"));
        else if (!Browser().launch(browser, page))
            MsgBox(QStringLiteral("Web Page not Opened"));
    } catch (const RunTimeError& error) {
        MsgBox(QStringLiteral("Error #%1 %2 occurred in SecurityMod, while executing StartBrowser.")
                   .arg(error.number)
                   .arg(error.description));
    }
}
