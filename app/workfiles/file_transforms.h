// Mirroring and turning every working file in place, so that the picture
// and its cached previews stay one consistent set.  Each file's new content
// is made under a hidden name first; the files are replaced only when the
// picture itself (temp.bmp) was transformed, and a preview that could not
// be transformed is dropped from the cache (it is made again from the
// transformed picture when its depth is chosen).
#pragma once

#include <QString>
#include <QStringList>

#include "imaging/library.h"

class WorkingFiles;

struct TransformOutcome {
    bool pictureDone = false;   // temp.bmp and every remaining preview were replaced
    QStringList dropped;        // previews removed because they could not be transformed
    QString problem;            // why temp.bmp could not be transformed
};

// The order in which the files are mirrored: temp.bmp first, then the
// previews that exist.
QStringList FlipOrder();
// The order in which RotateImg turns them; a right turn takes temp.bmp
// before temp24bit.bmp.
QStringList RotateOrder(bool right);

// Mirrors left-right (`horizontal`) or top-bottom.
TransformOutcome MirrorWorkingFiles(const WorkingFiles& files, bool horizontal);

// Turns by 90 degrees through the library, counter-clockwise unless
// `right`; the library reports its own failures.
TransformOutcome RotateWorkingFiles(const WorkingFiles& files, const mireo::imaging::Library& library, bool right);
