// The about box.
#include "mdi_main.h"
#include "not_available.h"

void MDImain::cmdAbout_Click() { NotAvailableYet(QStringLiteral("The About box")); }
