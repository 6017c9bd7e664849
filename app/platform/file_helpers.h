// File and folder helpers of the program.
#pragma once

#include <QString>

// True when `pattern` (wildcards allowed in the file name) matches a file.
bool FileExists(const QString& pattern);
bool DirExists(const QString& folder);

// The short form of a path; paths have no short form here, so it is the
// path itself.
QString GetShortPath(const QString& path);

// Deletes every file of `folder` matching `pattern`, e.g. "*.bmp".
void DeleteMatching(const QString& folder, const QString& pattern);
