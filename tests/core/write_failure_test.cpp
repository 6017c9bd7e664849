// Write errors are reported, and no partial file stands under the output name.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "test_support.h"

using namespace mireo::test;

namespace {

// Limits the size of files this process may write while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int);
};

void writePicture(const std::string& path, int32_t w, int32_t h) {
    std::vector<uint8_t> bits(static_cast<std::size_t>(4 * w * h), 0x55);
    MireoArray array = byteArray(bits);
    int32_t bpp = 32;
    StringArg name(path);
    WriteBmp24(&array, &w, &h, &name, &bpp);
}

bool onlyFileIn(const std::filesystem::path& dir, const std::string& name) {
    int count = 0;
    for (auto& entry : std::filesystem::directory_iterator(dir)) {
        ++count;
        if (entry.path().filename() != name) return false;
    }
    return count <= 1;
}

}  // namespace

TEST(WriteFailure, FileSizeLimitIsReportedAsDiskFullAndLeavesNoFile) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    {
        FileSizeLimit limit(1000);
        writePicture(dir.file("big.bmp"), 100, 100);
    }
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module WriteBmp24 -  61 - Disk full");
    EXPECT_FALSE(std::filesystem::exists(dir.file("big.bmp")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(WriteFailure, OutputNameThatIsAFolderIsReportedAndLeftAlone) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    std::filesystem::create_directory(dir.file("a.bmp"));
    writePicture(dir.file("a.bmp"), 2, 2);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module WriteBmp24 -  75 - Path/File access error");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("a.bmp")));
    EXPECT_TRUE(onlyFileIn(dir.path(), "a.bmp"));
}

TEST(WriteFailure, PathThroughAFileIsPathNotFound) {
    ScratchDir dir;
    RecordingWindowSystem ws;
    writeFile(dir.file("plain"), {1});
    writePicture(dir.file("plain/a.bmp"), 2, 2);
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module WriteBmp24 -  76 - Path not found");
}

TEST(WriteFailure, FailedRotationLeavesNoPartialFile) {
    ScratchDir dir;
    writePicture(dir.file("a.bmp"), 60, 40);
    RecordingWindowSystem ws;
    {
        FileSizeLimit limit(2000);
        StringArg file(dir.file("a.bmp")), left("Left");
        RotateImg(&file, &left);
    }
    ASSERT_EQ(ws.messages.size(), 1u);
    EXPECT_EQ(ws.messages[0].text, "Error in dll module Rotate -  61 - Disk full");
    // The old file was deleted before writing, as every replaced output is;
    // what must never happen is a truncated picture under the name.
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.bmp")));
    EXPECT_TRUE(onlyFileIn(dir.path(), "a.bmp"));
}
