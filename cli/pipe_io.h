// The few pipe and process calls the workers need, with EINTR retried.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace mireo::cli {

// False when not all bytes could be written (the reader is gone).
bool writeAll(int fd, const std::string& bytes);

// Appends what one read gives; 0 at the end of the pipe, -1 on an error.
long readChunk(int fd, std::string& into);

// The wait status of the ended child.
int waitForChild(pid_t pid);

// "The conversion was stopped by signal 9 (Killed)." and the like, for a
// process that ended without a complete report.
std::string abnormalEndMessage(int waitStatus);

}  // namespace mireo::cli
