#include "generator/expansiontext.h"

#include <algorithm>
#include <cstring>

namespace {

// Buffers larger than this are given back when a text is cleared, so that one huge expansion
// does not keep its memory for the rest of the run.
constexpr std::size_t kKeptCapacity = 64 * 1024;

} // namespace

std::size_t ExpansionText::find(char c, std::size_t from) const {
    const char* data = m_chars.data();
    const std::size_t left = m_gap - m_begin;
    if (from < left) {
        if (const void* p = std::memchr(data + m_begin + from, c, left - from))
            return std::size_t(static_cast<const char*>(p) - data) - m_begin;
        from = left;
    }
    const std::size_t physical = m_gapEnd + (from - left);
    if (physical >= m_chars.size())
        return npos;
    const void* p = std::memchr(data + physical, c, m_chars.size() - physical);
    return p ? std::size_t(static_cast<const char*>(p) - data) - m_gapEnd + left : npos;
}

std::size_t ExpansionText::findOpen(std::size_t from) const {
    const std::size_t length = size();
    for (std::size_t p = find('$', from); p != npos; p = find('$', p + 1)) {
        if (p + 1 < length && (*this)[p + 1] == '(')
            return p;
    }
    return npos;
}

std::size_t ExpansionText::rfind(char c, std::size_t end, std::size_t floor) const {
    const char* data = m_chars.data();
    const std::size_t left = m_gap - m_begin;
    if (end > left) {
        const std::size_t low = std::max(floor, left);
        if (low < end) {
            if (const void* hit = memrchr(data + m_gapEnd + (low - left), c, end - low))
                return std::size_t(static_cast<const char*>(hit) - data) - m_gapEnd + left;
        }
        end = left;
    }
    if (end > floor) {
        if (const void* hit = memrchr(data + m_begin + floor, c, end - floor))
            return std::size_t(static_cast<const char*>(hit) - data) - m_begin;
    }
    return npos;
}

std::size_t ExpansionText::rfindOpen(std::size_t before, std::size_t floor) const {
    // A "$(" that ends before `before` starts before before - 1.
    for (std::size_t end = before > 0 ? before - 1 : 0; end > floor;) {
        const std::size_t p = rfind('$', end, floor);
        if (p == npos)
            return npos;
        if ((*this)[p + 1] == '(')
            return p;
        end = p;
    }
    return npos;
}

std::string_view ExpansionText::view(std::size_t pos, std::size_t length) {
    moveGap(pos);
    return std::string_view(m_chars.data() + m_gapEnd, length);
}

ExpansionText::Label ExpansionText::commonLabel(std::size_t pos, std::size_t length) {
    moveGap(pos);
    Label common = m_right.back().label;
    for (auto it = m_right.runs.rbegin(); length > 0; ++it) {
        common = m_tree.commonAncestor(common, it->label);
        length -= std::min<std::size_t>(length, it->length);
    }
    return common;
}

void ExpansionText::replace(std::size_t pos, std::size_t length, std::string_view with,
                            Label label) {
    // Held before the old runs go: label may be the resolution that only they held.
    if (!with.empty())
        m_tree.retain(label);
    moveGap(pos);
    m_gapEnd += length;
    dropRuns(m_right, length);
    m_usage.bytes -= length;
    if (with.empty())
        return;
    reserveGap(with.size());
    m_gapEnd -= with.size();
    std::memcpy(m_chars.data() + m_gapEnd, with.data(), with.size());
    pushRun(m_right, Run{std::uint32_t(with.size()), label});
    m_usage.bytes += with.size();
    m_usage.byteWork += with.size();
}

void ExpansionText::moveFront(std::string& out, std::size_t length) {
    if (length > m_gap - m_begin)
        moveGap(length);
    out.append(m_chars.data() + m_begin, length);
    m_begin += length;
    for (std::size_t left = length; left > 0;) {
        Run& run = m_left.runs[m_left.first];
        if (run.length > left) {
            run.length -= std::uint32_t(left);
            break;
        }
        left -= run.length;
        m_tree.release(run.label);
        ++m_left.first;
    }
    if (m_left.empty()) {
        m_left.runs.clear();
        m_left.first = 0;
        m_begin = m_gap = 0; // the gap takes the room back
    } else if (m_left.first > 64 && 2 * m_left.first > m_left.runs.size()) {
        m_left.runs.erase(m_left.runs.begin(), m_left.runs.begin() + std::ptrdiff_t(m_left.first));
        m_left.first = 0;
    }
    m_usage.bytes -= length;
    m_usage.byteWork += length;
}

void ExpansionText::moveAll(std::string& out) {
    out.append(m_chars.data() + m_begin, m_gap - m_begin);
    out.append(m_chars.data() + m_gapEnd, m_chars.size() - m_gapEnd);
    m_usage.byteWork += size();
    clear();
}

void ExpansionText::eraseFront(std::size_t length) {
    replace(0, length, std::string_view(), ResolutionTree::kRoot);
}

void ExpansionText::clear() {
    releaseAll(m_left);
    releaseAll(m_right);
    m_usage.bytes -= size();
    if (m_chars.size() > kKeptCapacity)
        std::string().swap(m_chars);
    m_begin = m_gap = 0;
    m_gapEnd = m_chars.size();
}

void ExpansionText::moveGap(std::size_t pos) {
    char* data = m_chars.data();
    const std::size_t left = m_gap - m_begin;
    if (pos < left) {
        const std::size_t k = left - pos;
        std::memmove(data + m_gapEnd - k, data + m_gap - k, k);
        shiftRuns(m_left, m_right, k);
        m_gap -= k;
        m_gapEnd -= k;
        m_usage.byteWork += k;
    } else if (pos > left) {
        const std::size_t k = pos - left;
        std::memmove(data + m_gap, data + m_gapEnd, k);
        shiftRuns(m_right, m_left, k);
        m_gap += k;
        m_gapEnd += k;
        m_usage.byteWork += k;
    }
}

void ExpansionText::reserveGap(std::size_t length) {
    if (m_gapEnd - m_gap >= length)
        return;
    const std::size_t left = m_gap - m_begin;
    const std::size_t after = m_chars.size() - m_gapEnd;
    const std::size_t capacity = std::max(2 * m_chars.size(), size() + length + 32);
    std::string grown(capacity, '\0');
    std::memcpy(grown.data(), m_chars.data() + m_begin, left);
    std::memcpy(grown.data() + capacity - after, m_chars.data() + m_gapEnd, after);
    m_chars.swap(grown);
    m_begin = 0;
    m_gap = left;
    m_gapEnd = capacity - after;
    m_usage.byteWork += capacity;
}

void ExpansionText::shiftRuns(Runs& from, Runs& to, std::size_t length) {
    while (length > 0) {
        Run& run = from.back();
        if (run.length <= length) {
            const Run moved = run;
            from.runs.pop_back();
            pushRun(to, moved);
            length -= moved.length;
        } else {
            run.length -= std::uint32_t(length);
            m_tree.retain(run.label);
            pushRun(to, Run{std::uint32_t(length), run.label});
            length = 0;
        }
    }
}

// The run's hold on its label passes to the side; merged into a neighbour of the same label,
// it is let go.
void ExpansionText::pushRun(Runs& side, Run run) {
    if (!side.empty() && side.back().label == run.label &&
        std::uint64_t(side.back().length) + run.length <= UINT32_MAX) {
        side.back().length += run.length;
        m_tree.release(run.label);
        return;
    }
    side.runs.push_back(run);
}

void ExpansionText::dropRuns(Runs& side, std::size_t length) {
    while (length > 0) {
        Run& run = side.back();
        if (run.length <= length) {
            length -= run.length;
            m_tree.release(run.label);
            side.runs.pop_back();
        } else {
            run.length -= std::uint32_t(length);
            length = 0;
        }
    }
}

void ExpansionText::releaseAll(Runs& side) {
    for (std::size_t i = side.first; i < side.runs.size(); ++i)
        m_tree.release(side.runs[i].label);
    side.runs.clear();
    side.first = 0;
}
