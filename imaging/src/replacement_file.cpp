#include "imaging/replacement_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace mireo::imaging {

namespace {

fs::path hiddenBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    std::string name = "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                       std::to_string(counter++) + ".part";
    return target.parent_path() / name;
}

}  // namespace

void checkReplaceable(const fs::path& target) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw std::system_error(std::make_error_code(std::errc::not_supported),
                                target.string() + " is not a regular file");
}

ReplacementFile::ReplacementFile(fs::path target) : target_(std::move(target)), hidden_(hiddenBeside(target_)) {
    checkReplaceable(target_);
}

ReplacementFile::~ReplacementFile() {
    if (committed_) return;
    std::error_code ignored;
    fs::remove(hidden_, ignored);
}

void ReplacementFile::commit() {
    checkReplaceable(target_);
    fs::rename(hidden_, target_);
    committed_ = true;
}

void moveFileOver(const fs::path& from, const fs::path& to) {
    checkReplaceable(to);
    std::error_code error;
    fs::rename(from, to, error);
    if (!error) return;
    if (error != std::errc::cross_device_link) throw std::system_error(error, "rename " + from.string());
    ReplacementFile copy(to);
    fs::copy_file(from, copy.path());
    copy.commit();
    fs::remove(from, error);
}

}  // namespace mireo::imaging
