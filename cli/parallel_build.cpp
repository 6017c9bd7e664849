#include "parallel_build.h"

#include "child_task.h"
#include "imaging/linked_library.h"
#include "imaging/replacement_file.h"

namespace mireo::cli {

std::optional<int32_t> buildPdbInTwo(const imaging::PdbRequest& request, const std::string& outputPath,
                                     const imaging::Palettes& palettes, Console& console) {
    const imaging::Library& library = imaging::linkedLibrary();
    imaging::ReplacementFile first(outputPath), second(outputPath);
    const std::size_t before = console.messageCount();
    ChildTask withBlock1([&] {
        auto size = imaging::compilePdb(library, request, second.path().string(), request.block1, palettes.grey16,
                                        palettes.palm8);
        std::vector<std::string> all = console.takeMessages();
        return Outcome{size.has_value(), size.value_or(0),
                       std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), {}};
    });
    auto withBlock2 =
        imaging::compilePdb(library, request, first.path().string(), request.block2, palettes.grey16, palettes.palm8);
    Outcome other = withBlock1.finish();
    for (std::string& message : other.messages) console.addMessage(std::move(message));
    std::optional<int32_t> block1Size = other.ok ? std::optional<int32_t>(other.size) : std::nullopt;
    switch (imaging::smallerCandidate(withBlock2, block1Size)) {
        case imaging::Winner::Block2: first.commit(); return withBlock2;
        case imaging::Winner::Block1: second.commit(); return block1Size;
        case imaging::Winner::None: break;
    }
    return std::nullopt;
}

}  // namespace mireo::cli
