#include "open_backimage.h"

#include <QString>

#include "not_available.h"

void LoadVTPDB() { NotAvailableYet(QStringLiteral("Opening a backimage")); }

void ExportImg() { NotAvailableYet(QStringLiteral("Saving the image")); }
