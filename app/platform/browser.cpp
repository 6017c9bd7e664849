#include "platform/browser.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

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

} // namespace

BrowserPlatform& Browser() {
    static DesktopBrowser desktop;
    return installed ? *installed : desktop;
}

void SetBrowserPlatform(BrowserPlatform* replacement) { installed = replacement; }
