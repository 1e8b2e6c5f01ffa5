#pragma once

#include "definitions/dynstring.h"

#include <vector>

// The values of one key, in the order the statements gave them.
class ValueList {
public:
    void append(DynString value) { m_values.push_back(std::move(value)); }
    int count() const { return int(m_values.size()); }

    // The value at a 0-based index, or nullptr when out of range.
    const DynString* at(int index) const {
        return index >= 0 && index < count() ? &m_values[std::size_t(index)] : nullptr;
    }
    DynString* at(int index) {
        return index >= 0 && index < count() ? &m_values[std::size_t(index)] : nullptr;
    }
    // The text of the value at index, or nullptr.
    const char* text(int index) const {
        const DynString* v = at(index);
        return v ? v->text() : nullptr;
    }

    auto begin() const { return m_values.begin(); }
    auto end() const { return m_values.end(); }

private:
    std::vector<DynString> m_values;
};
