#include "imaging/names.h"

#include <array>

namespace mireo::imaging {

std::string cleanTypedName(std::string_view typed) {
    auto first = typed.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::string_view name = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (name.size() > 4) {
        std::string_view ending = name.substr(name.size() - 4);
        for (std::string_view picture : std::array<std::string_view, 3>{".gif", ".jpg", ".bmp"})
            if (ending == picture) return std::string(name.substr(0, name.size() - 4));
    }
    return std::string(name);
}

std::string nameFromFileName(std::string_view path) {
    auto slash = path.find_last_of('/');
    std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (file.size() > 4 && file[file.size() - 4] == '.') file.remove_suffix(4);
    return std::string(file);
}

}  // namespace mireo::imaging
