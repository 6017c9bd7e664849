// The Palm backimage name: typed by the user or taken from the file name.
#pragma once

#include <string>
#include <string_view>

namespace mireo::imaging {

// A typed name without surrounding blanks and without a picture extension
// (".gif", ".jpg", ".bmp" in lower case) when it is longer than that.
std::string cleanTypedName(std::string_view typed);

// The name taken from the database's file name: the part after the last
// folder separator, without its extension when the name ends in a dot and
// three characters (Sunset.pdb gives Sunset).
std::string nameFromFileName(std::string_view path);

}  // namespace mireo::imaging
