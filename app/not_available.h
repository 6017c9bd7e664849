// The commands whose work this version does not do yet say so plainly.
#pragma once

#include <QString>

// Shows "<what> is not available yet in this version of Mireo."
void NotAvailableYet(const QString& what);
