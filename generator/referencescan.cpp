#include "generator/referencescan.h"

namespace {

constexpr std::string_view kOpen = "$(";

// The first "$(" at or after from that has no backslash before it, or npos.
std::size_t firstUnescaped(std::string_view text, std::size_t from) {
    std::size_t p = text.find(kOpen, from);
    while (p != std::string_view::npos && p > 0 && text[p - 1] == '\\')
        p = text.find(kOpen, p + 1);
    return p;
}

} // namespace

bool findReference(std::string_view text, std::size_t from, Reference& ref) {
    const std::size_t first = firstUnescaped(text, from);
    if (first == std::string_view::npos)
        return false;
    const std::size_t close = text.find(')', first + kOpen.size());
    if (close == std::string_view::npos)
        return false; // an unclosed "$(" hides everything after it
    // The innermost: the last "$(" before the ")", escaped or not.
    std::size_t p = text.rfind(kOpen, close - 1);
    if (p == std::string_view::npos || p < first)
        p = first;

    ref.begin = p;
    ref.end = close + 1;
    ref.firstOpen = first;
    const std::string_view content = text.substr(p + kOpen.size(), close - p - kOpen.size());
    const std::size_t colon = content.find(':');
    ref.hasArgument = colon != std::string_view::npos;
    ref.name = ref.hasArgument ? content.substr(0, colon) : content;
    ref.argument = ref.hasArgument ? content.substr(colon + 1) : std::string_view();
    return true;
}

bool isInert(std::string_view text) {
    if (text.empty())
        return true;
    if (text.back() == '\\' || text.back() == '$')
        return false;
    return firstUnescaped(text, 0) == std::string_view::npos;
}
