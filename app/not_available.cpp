#include "not_available.h"

#include "dialogs.h"

void NotAvailableYet(const QString& what) {
    MsgBox(what + QStringLiteral(" is not available yet in this version of Mireo."), MessageIcon::Information);
}
