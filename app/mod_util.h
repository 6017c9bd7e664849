// Shared helpers of the program: files and folders, and the windows that
// are loaded.
#pragma once

#include <QString>

class QWidget;

// True when `pattern` (wildcards allowed in the file name) matches a file.
bool FileExists(const QString& pattern);
bool DirExists(const QString& folder);

// Deletes every file of `folder` matching `pattern`, e.g. "*.bmp".
void DeleteMatching(const QString& folder, const QString& pattern);

// Deletes temp.bmp and the five preview files of the temporary folder.
void DeleteWorkingImages();

// The loaded window (top-level or document window) called `name`, or nullptr.
QWidget* FindForm(const QString& name);
bool IsFormLoaded(const QString& name);

// Sends DroppedFileName to the import or to the opening of a backimage.
void OpenDroppedFile();
