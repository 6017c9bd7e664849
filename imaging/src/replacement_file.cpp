#include "imaging/replacement_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "imaging/temporary_paths.h"

namespace fs = std::filesystem;

namespace mireo::imaging {

namespace {

struct Destination {
    fs::path path;  // links resolved
    bool stream = false;
};

[[noreturn]] void refuse(std::errc error, const fs::path& target, const std::string& why) {
    throw std::system_error(std::make_error_code(error), target.string() + " " + why);
}

Destination destinationOf(const fs::path& target) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(target, error);
    if (!fs::exists(status)) return {target};
    if (fs::is_symlink(status)) {
        status = fs::status(target, error);
        if (!fs::exists(status)) refuse(std::errc::no_such_file_or_directory, target, "is a link that leads nowhere");
    }
    // A device or pipe is opened through the link (/dev/stdout leads to a
    // pipe that has no name); a file is replaced where it really lies.
    if (fs::is_character_file(status) || fs::is_fifo(status)) return {target, true};
    if (fs::is_regular_file(status)) return {fs::canonical(target)};
    if (fs::is_directory(status)) refuse(std::errc::is_a_directory, target, "is a folder");
    refuse(std::errc::not_supported, target, "is not a regular file");
}

fs::path hiddenName(const fs::path& folder, const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    std::string name = "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                       std::to_string(counter++) + ".part";
    return folder / name;
}

void copyInto(const fs::path& from, const fs::path& stream) {
    int out = ::open(stream.c_str(), O_WRONLY | O_CLOEXEC);
    if (out < 0) throw std::system_error(errno, std::generic_category(), stream.string());
    try {
        copyFileInto(from, out);
    } catch (...) {
        ::close(out);
        throw;
    }
    if (::close(out) != 0) throw std::system_error(errno, std::generic_category(), stream.string());
}

}  // namespace

void copyFileInto(const fs::path& from, int to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) throw std::system_error(errno, std::generic_category(), from.string());
    char chunk[65536];
    int err = 0;
    for (;;) {
        ssize_t n = ::read(in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t at = 0; at < n && err == 0;) {
            ssize_t put = ::write(to, chunk + at, static_cast<std::size_t>(n - at));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) err = put < 0 ? errno : ENOSPC;
            else at += put;
        }
        if (err) break;
    }
    ::close(in);
    if (err) throw std::system_error(err, std::generic_category(), from.string());
}

void checkReplaceable(const fs::path& target) { destinationOf(target); }

ReplacementFile::ReplacementFile(fs::path target) : target_(std::move(target)) {
    Destination destination = destinationOf(target_);
    destination_ = destination.path;
    stream_ = destination.stream;
    hidden_ = hiddenName(stream_ ? fs::temp_directory_path() : destination_.parent_path(), destination_);
    TemporaryPaths::add(hidden_.string());
}

ReplacementFile::~ReplacementFile() {
    if (committed_) return;
    std::error_code ignored;
    fs::remove(hidden_, ignored);
    TemporaryPaths::remove(hidden_.string());
}

void ReplacementFile::commit() {
    if (stream_) {
        copyInto(hidden_, destination_);
        std::error_code ignored;
        fs::remove(hidden_, ignored);
    } else {
        checkReplaceable(destination_);
        fs::rename(hidden_, destination_);
    }
    committed_ = true;
    TemporaryPaths::remove(hidden_.string());
}

void moveFileOver(const fs::path& from, const fs::path& to) {
    Destination destination = destinationOf(to);
    std::error_code error;
    if (destination.stream) {
        copyInto(from, destination.path);
        fs::remove(from, error);
        return;
    }
    fs::rename(from, destination.path, error);
    if (!error) return;
    if (error != std::errc::cross_device_link) throw std::system_error(error, "rename " + from.string());
    ReplacementFile copy(destination.path);
    fs::copy_file(from, copy.path());
    copy.commit();
    fs::remove(from, error);
}

}  // namespace mireo::imaging
