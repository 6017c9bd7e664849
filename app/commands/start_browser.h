// Shows a local HTML page in the user's default browser.
#pragma once

#include <QString>

class QWidget;

// Finds the browser through a throw-away "temphtm.HTM" in `folder` (always
// deleted again) and opens `page` in it.  Failures show their message.
void StartBrowser(QWidget* owner, const QString& page, const QString& folder);
