// The colour depth and reduction options.  Without a picture a click only
// moves the option; the preview of the picture on show follows it.
#include "mdi_main.h"
#include "not_available.h"
#include "shared_state.h"

namespace {

void showPreview() {
    if (ImageLoaded) NotAvailableYet(QStringLiteral("Changing the preview"));
}

} // namespace

void MDImain::opt16Bit_Click() { showPreview(); }

void MDImain::opt8Bit_Click() { showPreview(); }

void MDImain::opt4Bit_Click() { showPreview(); }

void MDImain::optNearestCol_Click() { showPreview(); }

void MDImain::optDithered_Click() { showPreview(); }
