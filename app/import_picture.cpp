// Import of pictures into the working files.
#include "form1.h"
#include "not_available.h"

void Form1::mnuImport_Click() { NotAvailableYet(QStringLiteral("Importing a picture")); }

void Form1::LoadImage() { NotAvailableYet(QStringLiteral("Loading a picture")); }
