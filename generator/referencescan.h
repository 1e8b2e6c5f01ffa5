#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// The reference that the next expansion step replaces: text[begin, end) is "$(", the
// content, and ")". The content splits at its first ":" into name and argument.
struct Reference {
    static constexpr std::size_t npos = std::string_view::npos;

    std::size_t begin = 0;
    std::size_t end = 0;
    // The first "$(" without a backslash before it, also when no ")" follows it (npos: none).
    // No later step can find a reference that starts before firstOpen - 1.
    std::size_t firstOpen = npos;
    std::string_view name;
    std::string_view argument;
    bool hasArgument = false;
};

// Sets name and argument from the whole reference text, "$(" content ")".
void splitReference(std::string_view whole, Reference& ref);

// Finds the innermost reference of the first "$(" that has no backslash before it and a ")"
// after it, in a text offering size(), operator[], find(char, from), findOpen(from) and
// rfindOpen(before, floor). before: the character just before the text, or -1; a backslash
// there escapes a "$(" at the start. No "$(" before `from` may count, and no ")" may lie
// between the first "$(" and closeFrom. Returns false when there is no reference, with
// firstOpen telling whether an unclosed "$(" is the reason. Leaves name and argument alone.
template <typename Text>
bool findReference(const Text& text, int before, std::size_t from, std::size_t closeFrom,
                   Reference& ref) {
    std::size_t first = text.findOpen(from);
    while (first != Reference::npos && (first > 0 ? text[first - 1] == '\\' : before == '\\'))
        first = text.findOpen(first + 1);
    ref.firstOpen = first;
    if (first == Reference::npos)
        return false;
    const std::size_t close = text.find(')', std::max(first + 2, closeFrom));
    if (close == Reference::npos)
        return false; // an unclosed "$(" hides everything after it
    // The innermost: the last "$(" before the ")", escaped or not.
    const std::size_t inner = text.rfindOpen(close, first);
    ref.begin = inner == Reference::npos ? first : inner;
    ref.end = close + 1;
    return true;
}

// The same over a plain text that nothing precedes, with name and argument set.
bool findReference(std::string_view text, std::size_t from, Reference& ref);
