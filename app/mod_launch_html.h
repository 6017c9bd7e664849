// Shows a local HTML page in the user's default browser.
#pragma once

#include <QString>

class QWidget;

// How this platform finds and starts a browser.  Tests install their own.
class BrowserPlatform {
public:
    virtual ~BrowserPlatform() = default;
    // The program the desktop associates with `file`, or an empty text.
    virtual QString findBrowserFor(const QString& file) = 0;
    // Starts `browser` on `page`; false when it could not be started.
    virtual bool launch(const QString& browser, const QString& page) = 0;
};

// The platform in use; `nullptr` goes back to the desktop's (xdg-mime).
BrowserPlatform& Browser();
void SetBrowserPlatform(BrowserPlatform* replacement);

// Finds the browser through a throw-away "temphtm.HTM" in AppPath (always
// deleted again) and opens `page` in it.  Failures show their message.
void StartBrowser(QWidget* owner, const QString& page);
