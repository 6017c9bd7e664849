#include "files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "errors.h"

namespace mireo {
namespace {

void writeAll(int fd, std::span<const uint8_t> bytes, const std::string& path) {
    const uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) raise(n < 0 ? errorFromErrno(errno) : kDiskFull, "write " + path);
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Closes a descriptor and removes its temporary file unless committed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : path_(target + ".XXXXXX") {
        fd_ = ::mkstemp(path_.data());
        if (fd_ < 0) raise(errorFromErrno(errno), "create " + path_);
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(std::span<const uint8_t> bytes) { writeAll(fd_, bytes, path_); }

    void commitAs(const std::string& target) {
        // mkstemp creates the file private; give it the usual permissions.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) raise(errorFromErrno(errno), "close " + path_);
        if (::rename(path_.c_str(), target.c_str()) != 0) raise(errorFromErrno(errno), "rename " + target);
        committed_ = true;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

// A device or a pipe cannot be replaced by renaming a file over it (that
// would put a regular file where it was); it is written into directly.
void writeIntoStream(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) raise(errorFromErrno(errno), "open " + path);
    try {
        for (auto part : parts) writeAll(fd, part, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) raise(errorFromErrno(errno), "close " + path);
}

// Where an output named `path` goes: a regular file (new or existing, the
// file a link leads to) is replaced as a whole; a character device or a
// pipe is written into.  A folder, a block device, a socket or a broken
// link raise.
enum class OutputKind { NewFile, Stream };
struct OutputTarget {
    OutputKind kind;
    std::string path;  // links resolved
};

OutputTarget outputTargetOf(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return {OutputKind::NewFile, path};
    // Through a link: a device or pipe is opened by the link's own name
    // (/dev/stdout leads to a pipe that has none), a file is replaced where
    // it really lies, so the link stays; a link that leads nowhere raises.
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) raise(kPathNotFound, "broken link " + path);
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return {OutputKind::Stream, path};
    if (!S_ISREG(st.st_mode)) raise(kPathFileAccessError, path + " is not a file");
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) raise(errorFromErrno(errno), "resolve " + path);
    std::string resolved = real;
    std::free(real);
    return {OutputKind::NewFile, resolved};
}

}  // namespace

bool fileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// Only a regular file is ever deleted: a device, a pipe or a link under the
// name is written into or through instead.
void deleteIfExists(const std::string& path) {
    struct stat st;
    if (path.empty() || ::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    if (::unlink(path.c_str()) != 0) raise(errorFromErrno(errno), "delete " + path);
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) raise(errno == ENOENT ? kFileNotFound : errorFromErrno(errno), "open " + path);
    std::vector<uint8_t> bytes;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) bytes.reserve(static_cast<std::size_t>(st.st_size));
    uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            raise(err == EISDIR ? kPathFileAccessError : errorFromErrno(err), "read " + path);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

void writeFileAtomic(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path.empty()) raise(kBadFileName, "empty path");
    const OutputTarget target = outputTargetOf(path);
    if (target.kind == OutputKind::Stream) {
        writeIntoStream(target.path, parts);
        return;
    }
    TemporaryFile file(target.path);
    for (auto part : parts) file.write(part);
    file.commitAs(target.path);
}

}  // namespace mireo
