#include "parallel_build.h"

#include <exception>
#include <thread>

#include "imaging/linked_library.h"
#include "imaging/replacement_file.h"

namespace mireo::cli {

std::optional<int32_t> buildPdbInTwo(const imaging::PdbRequest& request, const std::string& outputPath,
                                     const imaging::Palettes& palettes, Console& console) {
    const imaging::Library& library = imaging::linkedLibrary();
    imaging::ReplacementFile first(outputPath), second(outputPath);
    std::optional<int32_t> block1Size;
    std::vector<std::string> block1Messages;
    std::exception_ptr block1Error;
    std::thread withBlock1([&] {
        Console::ThreadMessages kept(block1Messages);
        try {
            block1Size = imaging::compilePdb(library, request, second.path().string(), request.block1,
                                             palettes.grey16, palettes.palm8);
        } catch (...) {
            block1Error = std::current_exception();
        }
    });
    std::optional<int32_t> withBlock2;
    try {
        withBlock2 = imaging::compilePdb(library, request, first.path().string(), request.block2, palettes.grey16,
                                         palettes.palm8);
    } catch (...) {
        withBlock1.join();
        throw;
    }
    withBlock1.join();
    for (std::string& message : block1Messages) console.addMessage(std::move(message));
    if (block1Error) std::rethrow_exception(block1Error);
    switch (imaging::smallerCandidate(withBlock2, block1Size)) {
        case imaging::Winner::Block2: first.commit(); return withBlock2;
        case imaging::Winner::Block1: second.commit(); return block1Size;
        case imaging::Winner::None: break;
    }
    return std::nullopt;
}

}  // namespace mireo::cli
