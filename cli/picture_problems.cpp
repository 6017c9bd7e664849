#include "picture_problems.h"

#include <sys/mman.h>
#include <unistd.h>

#include <QtGlobal>
#include <cstdio>

#include "imaging/sizes.h"
#include "plain_words.h"

namespace mireo::cli {

namespace {

std::string lastQtMessage;

void keep(QtMsgType, const QMessageLogContext&, const QString& message) { lastQtMessage = message.toStdString(); }

std::string takeQtMessage() { return std::exchange(lastQtMessage, {}); }

// A reader's reason without the words the line says already.
std::string withoutPrefix(std::string reason) {
    for (const char* prefix : {"The picture is damaged: ", "The picture is damaged. "})
        if (reason.starts_with(prefix)) return reason.substr(std::string(prefix).size());
    return reason;
}

}  // namespace

void keepQtMessages() { qInstallMessageHandler(keep); }

DecoderMessagesKept::DecoderMessagesKept() {
    std::fflush(stderr);
    kept_ = ::memfd_create("decoder-messages", MFD_CLOEXEC);
    saved_ = kept_ < 0 ? -1 : ::dup(STDERR_FILENO);
    if (saved_ < 0 || ::dup2(kept_, STDERR_FILENO) < 0) {
        if (saved_ >= 0) ::close(saved_);
        if (kept_ >= 0) ::close(kept_);
        saved_ = kept_ = -1;
    }
}

DecoderMessagesKept::~DecoderMessagesKept() {
    if (kept_ < 0) return;
    std::fflush(stderr);
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    char text[512];
    const ssize_t n = ::pread(kept_, text, sizeof text - 1, 0);
    ::close(kept_);
    if (n <= 0) return;
    std::string line(text, static_cast<std::size_t>(n));
    line = line.substr(0, line.find('\n'));
    if (!line.empty()) lastQtMessage = line;
}

std::string pictureProblem(const imaging::PictureReader& reader) {
    std::string qt = takeQtMessage();
    if (!reader.recognised()) return "not a picture that mireo-cli reads (BMP, GIF, JPEG or PNG)";
    if (qt.find("allocation limit") != std::string::npos) return "picture too large to decode in memory";
    std::string reason = inLine(withoutPrefix(reader.errorString().toStdString()));
    if (reason.starts_with("the picture is too large")) {
        const QSize size = reader.size();
        return "picture too large to decode in memory" +
               (size.isValid() ? ": " + imaging::sizeText({size.width(), size.height()}) : "");
    }
    if (reason.empty() || reason == "unknown error") reason = "the picture data cannot be decoded";
    if (qt == "libpng error: Read Error") reason = "the file ends before all its pixels";
    else if (qt.starts_with("libpng error: ")) reason += " (libpng: " + inLine(qt.substr(14)) + ")";
    return "damaged picture: " + reason;
}

std::string memoryProblem(const imaging::PictureReader& reader) {
    const QSize size = reader.size();
    const long long bytes = 4LL * size.width() * size.height();
    constexpr long long kLimit = static_cast<long long>(imaging::kAllocationLimitMb) * 1024 * 1024;
    if (reader.reducible() || bytes <= kLimit) return {};
    return "picture too large: " + imaging::sizeText({size.width(), size.height()}) +
           " (pictures other than JPEG and BMP can have at most " + std::to_string(kLimit / 4 / 1'000'000) +
           " megapixels)";
}

}  // namespace mireo::cli
