// How this platform finds and starts a browser for a local page.
#pragma once

#include <QString>

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
