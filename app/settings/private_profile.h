// Windows-style profile files ("[Section]" lines followed by "key=value"
// lines), read and written the way GetPrivateProfileString and
// WritePrivateProfileString do it: section and key names compare without
// regard to letter case, the file is created by the first write, reads
// fill a buffer of a given size, and a missing text or key deletes.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace profile {

// What a read copies into a buffer of `bufferSize` characters:
// - with section and key: the value (blanks around it trimmed), else `fallback`;
// - with no key: every key name of the section, each followed by a NUL;
// - with no section: every section name, each followed by a NUL.
// The result is cut to fit the buffer with its terminator(s), and its size
// is the count the Windows call returns.  A missing file, section or key
// gives `fallback`.
QByteArray GetPrivateProfileString(const std::optional<QByteArray>& section, const std::optional<QByteArray>& key,
                                   const QByteArray& fallback, int bufferSize, const QString& file);

// Sets `key` of `section` to `text`, creating file, section and key as
// needed.  No text deletes the key; no key deletes the whole section.
// Returns false when the file cannot be written or a name or text would
// break the file's line structure.  The file is replaced in one step, so
// a failed write leaves the previous file intact.
bool WritePrivateProfileString(const QByteArray& section, const std::optional<QByteArray>& key,
                               const std::optional<QByteArray>& text, const QString& file);

} // namespace profile
