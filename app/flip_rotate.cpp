// Flipping and turning the current picture.  Nothing happens without one.
#include "mdi_main.h"
#include "not_available.h"
#include "shared_state.h"

namespace {

void transform(const char* what) {
    if (ImageLoaded) NotAvailableYet(QLatin1String(what));
}

} // namespace

void MDImain::cmdFlip_V_Click() { transform("Flipping the image"); }

void MDImain::cmdFlip_H_Click() { transform("Flipping the image"); }

void MDImain::cmdRotateL_Click() { transform("Rotating the image"); }

void MDImain::cmdRotateR_Click() { transform("Rotating the image"); }
