// Building a background-image database, and its compression switch.
#include <QToolButton>

#include "mdi_main.h"
#include "not_available.h"

void MDImain::cmdCreatePDB_Click() { NotAvailableYet(QStringLiteral("Creating a backimage")); }

void MDImain::cmdCompress_Click() {
    cmdCompress->setChecked(!cmdCompress->isChecked());
    NotAvailableYet(QStringLiteral("Compression"));
}

void MDImain::cmdPDBNameExplain_Click() { NotAvailableYet(QStringLiteral("Help on the backimage name")); }
