#include "outcome.h"

namespace mireo::cli {

namespace {

void putNumber(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool number(uint32_t& value) {
        if (bytes_.size() - at_ < 4) return false;
        value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes_[at_ + static_cast<std::size_t>(i)]);
        at_ += 4;
        return true;
    }
    bool text(uint32_t length, std::string& value) {
        if (bytes_.size() - at_ < length) return false;
        value = bytes_.substr(at_, length);
        at_ += length;
        return true;
    }
    bool atEnd() const { return at_ == bytes_.size(); }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::string encodeOutcome(const Outcome& outcome) {
    std::string out(1, outcome.ok ? '\1' : '\0');
    putNumber(out, static_cast<uint32_t>(outcome.size));
    putNumber(out, static_cast<uint32_t>(outcome.file.size()));
    out += outcome.file;
    putNumber(out, static_cast<uint32_t>(outcome.messages.size()));
    for (const std::string& message : outcome.messages) {
        putNumber(out, static_cast<uint32_t>(message.size()));
        out += message;
    }
    return out;
}

std::optional<Outcome> decodeOutcome(const std::string& bytes) {
    if (bytes.empty() || static_cast<uint8_t>(bytes[0]) > 1) return std::nullopt;
    Outcome outcome;
    outcome.ok = bytes[0] == '\1';
    Reader reader(bytes);
    std::string flag;
    uint32_t size = 0, fileLength = 0, count = 0;
    if (!reader.text(1, flag) || !reader.number(size) || !reader.number(fileLength) ||
        !reader.text(fileLength, outcome.file) || !reader.number(count))
        return std::nullopt;
    outcome.size = static_cast<int32_t>(size);
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t length = 0;
        std::string message;
        if (!reader.number(length) || !reader.text(length, message)) return std::nullopt;
        outcome.messages.push_back(std::move(message));
    }
    if (!reader.atEnd()) return std::nullopt;
    return outcome;
}

}  // namespace mireo::cli
