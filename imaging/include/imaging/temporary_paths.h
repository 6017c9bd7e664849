// Temporary files and folders that must not outlive the process, kept where
// a stop signal can still remove them.  A tool installs the stop handlers;
// then SIGINT, SIGTERM, SIGHUP and SIGPIPE remove every registered file, then every
// registered folder, stop the registered child processes and end the
// process with 128 + the signal's number.  SIGXFSZ is ignored, so that a
// write beyond the file size limit fails as an error and is cleaned up by
// the code that made it.
#pragma once

#include <sys/types.h>

#include <string>

namespace mireo::imaging {

class TemporaryPaths {
public:
    static void add(const std::string& file);
    static void addFolder(const std::string& folder);  // removed after the files, when empty
    static void remove(const std::string& path);
    static void addChild(pid_t child);
    static void removeChild(pid_t child);
    // A new child process starts with none of its parent's children.
    static void forgetChildren();
};

void installStopHandlers();

// While one exists, a stop signal waits for its end: the image library
// makes temporary files of its own that only it knows, and it removes them
// itself when a call ends.
class StopDeferred {
public:
    StopDeferred();
    ~StopDeferred();
    StopDeferred(const StopDeferred&) = delete;
    StopDeferred& operator=(const StopDeferred&) = delete;
};

}  // namespace mireo::imaging
