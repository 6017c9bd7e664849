// The one way the picture code replaces a file: the new content is written
// under a hidden name beside the target and renamed over it only when it is
// complete.  So no partial file ever stands under the target's name, and an
// existing file is either replaced in one step or left as it was.
//
// A target that is a character device or a pipe (/dev/null, a FIFO,
// /dev/stdout) is never replaced: the hidden file lies in the temporary
// folder and its content is written into the target when complete.  A
// link is kept and the file it leads to is replaced.
#pragma once

#include <filesystem>

namespace mireo::imaging {

class ReplacementFile {
public:
    // Throws std::system_error when the target cannot take the output: a
    // folder, a block device, a socket, a link that leads nowhere.
    explicit ReplacementFile(std::filesystem::path target);
    ~ReplacementFile();  // removes the hidden file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Where the new content is to be written.
    const std::filesystem::path& path() const { return hidden_; }
    const std::filesystem::path& target() const { return target_; }

    // Puts the hidden file's content under the target; throws
    // std::system_error.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path destination_;  // the target with links resolved
    bool stream_ = false;
    std::filesystem::path hidden_;
    bool committed_ = false;
};

// Writes the whole content of the file `from` into the open descriptor
// `to`; throws std::system_error.
void copyFileInto(const std::filesystem::path& from, int to);

// Throws std::system_error unless `target` can take an output (see
// ReplacementFile).
void checkReplaceable(const std::filesystem::path& target);

// Moves the finished file `from` over `to`: a rename where both lie on one
// file system, else a copy to a hidden file beside `to` that is then renamed
// over it; into a device or pipe, a copy.  `to` is untouched when this
// fails; `from` is gone when it works.
void moveFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace mireo::imaging
