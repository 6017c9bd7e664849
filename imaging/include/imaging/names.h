// The Palm backimage name: typed by the user or taken from the file name.
#pragma once

#include <QString>
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

// The name as the database stores it: 8-bit text in the Palm's character
// set, Windows-1252, one byte per character, cut at 31 characters.  A
// character the set lacks becomes '?': one outside the Basic Multilingual
// Plane (an emoji) gives one '?', and so does an unpaired surrogate.  Text
// that arrives as UTF-8 goes through QString::fromUtf8 first, which turns
// bad sequences into U+FFFD and so into '?'.
std::string palmNameBytes(const QString& name);

// A stored name back as text, each byte through the same table; the five
// bytes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) give
// U+FFFD.  A NUL byte gives U+0000: the caller ends the name before it.
QString palmNameText(std::string_view bytes);

}  // namespace mireo::imaging
