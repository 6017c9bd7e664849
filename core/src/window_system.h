// The library's window-system layer: message boxes and progress windows go
// through the host's MireoWindowSystem, or through the headless default.
#pragma once

#include <string>

#include "mireocore.h"

namespace mireo {

const MireoWindowSystem& windowSystem();

// One message box with an OK button.
void showMessage(const std::string& text, const char* caption = nullptr, int32_t icon = MIREO_ICON_NONE);

}  // namespace mireo
