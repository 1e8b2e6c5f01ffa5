#include "generator/referencescan.h"

namespace {

// A plain text seen through the operations the scan uses.
struct PlainText {
    std::string_view text;

    char operator[](std::size_t i) const { return text[i]; }
    std::size_t find(char c, std::size_t from) const { return text.find(c, from); }
    std::size_t findOpen(std::size_t from) const { return text.find("$(", from); }
    std::size_t rfindOpen(std::size_t before, std::size_t floor) const {
        if (before < 2)
            return Reference::npos;
        const std::size_t p = text.rfind("$(", before - 2);
        return p != Reference::npos && p >= floor ? p : Reference::npos;
    }
};

} // namespace

void splitReference(std::string_view whole, Reference& ref) {
    const std::string_view content = whole.substr(2, whole.size() - 3);
    const std::size_t colon = content.find(':');
    ref.hasArgument = colon != std::string_view::npos;
    ref.name = ref.hasArgument ? content.substr(0, colon) : content;
    ref.argument = ref.hasArgument ? content.substr(colon + 1) : std::string_view();
}

bool findReference(std::string_view text, std::size_t from, Reference& ref) {
    if (!findReference(PlainText{text}, -1, from, 0, ref))
        return false;
    splitReference(text.substr(ref.begin, ref.end - ref.begin), ref);
    return true;
}
