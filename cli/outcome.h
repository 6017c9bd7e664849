// What converting one input came to, in a form that crosses a pipe: a
// worker process sends it back and the batch reports it in input order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mireo::cli {

struct Outcome {
    bool ok = false;
    int32_t size = 0;  // bytes of the database written
    std::vector<std::string> messages;  // to be reported under `file`, in order
    std::string file;  // the file the messages concern; empty: the input
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Flag byte, size, the file as length and text, message count, then each
// message as length and text (numbers as 4 bytes, little-endian).
std::string encodeOutcome(const Outcome& outcome);

// nullopt when the bytes are not exactly one encoded outcome (a worker that
// died half-way through sending it).
std::optional<Outcome> decodeOutcome(const std::string& bytes);

}  // namespace mireo::cli
