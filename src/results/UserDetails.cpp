#include "results/UserDetails.h"

std::string ShownUserDetail(std::span<const std::string> userTexts, int k) {
    const auto entry = [&userTexts](int index) -> std::string_view {
        return index >= 0 && static_cast<std::size_t>(index) < userTexts.size() ? userTexts[index]
                                                                                : std::string_view();
    };
    std::string detail(entry(k + 1));
    if (k + 1 == kDescriptionPage) {
        const std::string_view more = entry(kDescriptionMorePage);
        if (more.find_first_not_of(' ') != std::string_view::npos) detail += more;
    }
    return detail;
}

std::string_view UserPageText(std::span<const std::string> newUserTexts, int page) {
    if (page < 0 || static_cast<std::size_t>(page) >= newUserTexts.size()) return {};
    if (page != kDescriptionMorePage) return newUserTexts[page];
    const std::string_view description = newUserTexts[kDescriptionPage];
    return description.size() > kUserPageSize ? description.substr(kUserPageSize) : std::string_view();
}
