// The resize dialog and the main window's Resize Image button.
#include "mdi_main.h"
#include "not_available.h"

void MDImain::cmdResizeImg_Click() { NotAvailableYet(QStringLiteral("Resizing the image")); }
