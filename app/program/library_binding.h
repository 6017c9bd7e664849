// Run-time binding to the image library.  Each export is looked up by
// name on its first call; a missing library or export raises an AppError
// in the calling procedure, which reports it.
#pragma once

#include <string>

#include "imaging/library.h"

namespace mireocore {

// The library file dlopen is given (the library's soname unless changed).
// Changing it forgets every export bound so far.
void SetLibraryFile(const std::string& file);
const std::string& LibraryFile();

// The address of the export `name`; throws AppError.
void* Bind(const char* name);

// The exports as functions that bind on their first call.
const mireo::imaging::Library& BoundLibrary();

} // namespace mireocore
