// Where the program keeps Mireo.ini and its temporary folder, and where
// it finds its help page.
#pragma once

#include <QString>

// `programFolder` when the program may write there and is not installed
// (a build tree, a portable copy with Help/ beside it); for an installed
// program (its help page in the data folder beside bin) or a folder it
// cannot write, the per-user application data folder, created when
// missing.  Uses '/' and has no trailing separator.
QString ResolveAppPath(const QString& programFolder);

// Help/Mireo_Help.htm next to the program, else in the installed data
// folder (share/mireo/Help beside bin); the first of the two when neither exists.
QString HelpPagePath(const QString& programFolder);
