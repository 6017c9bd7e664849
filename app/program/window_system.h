// The window system the program installs into the image library: its
// message boxes go through the program's dialogs, its progress windows
// are ProgressDialogs that repaint while a reduction runs.
#pragma once

#include "imaging/library.h"

class ProgressDialog;

// The function table; its windows are owned by the main window, if any.
const MireoWindowSystem& QtWindowSystem();

// Hands QtWindowSystem() to the library; throws AppError when the library
// or its export cannot be bound.
void InstallWindowSystem(const mireo::imaging::Library& library);

// The progress window with handle `window`, or nullptr.
ProgressDialog* ProgressWindow(int32_t window);
