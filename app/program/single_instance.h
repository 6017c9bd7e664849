// One running copy per temporary folder: a second copy must not delete the
// first one's working files.
#pragma once

#include <QLockFile>
#include <QString>

class SingleInstance {
public:
    explicit SingleInstance(const QString& tempFolder);
    // False when a live copy of the program holds the folder.  A folder that
    // cannot hold the lock file fails later, like every other use of it.
    bool acquired() const { return acquired_; }

private:
    QLockFile lock_;
    bool acquired_;
};
