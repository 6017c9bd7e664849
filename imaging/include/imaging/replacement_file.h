// The one way the picture code replaces a file: the new content is written
// under a hidden name beside the target and renamed over it only when it is
// complete.  So no partial file ever stands under the target's name, and an
// existing file is either replaced in one step or left as it was.
#pragma once

#include <filesystem>

namespace mireo::imaging {

class ReplacementFile {
public:
    // Throws std::system_error when the target exists but is not a regular
    // file (a folder, a device, a link): such a path is never replaced.
    explicit ReplacementFile(std::filesystem::path target);
    ~ReplacementFile();  // removes the hidden file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Where the new content is to be written.
    const std::filesystem::path& path() const { return hidden_; }
    const std::filesystem::path& target() const { return target_; }

    // Renames the hidden file over the target; throws std::system_error.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path hidden_;
    bool committed_ = false;
};

// Throws std::system_error unless `target` is missing or a regular file.
void checkReplaceable(const std::filesystem::path& target);

// Moves the finished file `from` over `to`: a rename where both lie on one
// file system, else a copy to a hidden file beside `to` that is then renamed
// over it.  `to` is untouched when this fails; `from` is gone when it works.
void moveFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace mireo::imaging
