#pragma once

#include <cstddef>
#include <string_view>

// The reference that the next expansion step replaces: text[begin, end) is "$(", the
// content, and ")". The content splits at its first ":" into name and argument.
struct Reference {
    std::size_t begin = 0;
    std::size_t end = 0;
    // The first "$(" without a backslash before it. A replacement at or after it cannot
    // create a reference that starts before firstOpen - 1.
    std::size_t firstOpen = 0;
    std::string_view name;
    std::string_view argument;
    bool hasArgument = false;
};

// Finds the innermost reference of the first "$(" that has no backslash before it and a ")"
// after it. Returns false when there is none. `from` lets a caller skip a prefix known to
// hold no unescaped "$("; the result is the same as scanning from the start.
bool findReference(std::string_view text, std::size_t from, Reference& ref);

// Whether text holds no "$(" that a scan would take, and cannot start or escape one in text
// appended to it; expanding such a text followed by more text changes only the part after.
bool isInert(std::string_view text);
