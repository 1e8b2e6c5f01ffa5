#include "generator/viewindex.h"

#include "generator/designnode.h"

#include <algorithm>
#include <limits>

void ViewIndex::build(std::span<DesignNode> nodes) {
    std::size_t size = 16;
    while (size < 2 * nodes.size())
        size *= 2;
    m_mask = size - 1;

    std::uint64_t low = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t high = 0;
    for (const DesignNode& node : nodes) {
        const auto address = std::uint64_t(reinterpret_cast<std::uintptr_t>(&node.item()));
        low = std::min(low, address);
        high = std::max(high, address);
    }
    m_ordered = !nodes.empty();
    m_base = m_ordered ? low : 0;
    m_shift = 0;
    while (m_ordered && ((high - low) >> m_shift) >= size)
        ++m_shift;
    if (m_ordered && fill(nodes, 8 * nodes.size() + 64))
        return;
    m_ordered = false;
    fill(nodes, std::numeric_limits<std::size_t>::max());
}

bool ViewIndex::fill(std::span<DesignNode> nodes, std::size_t probeBudget) {
    m_slots.assign(m_mask + 1, Slot{});
    std::size_t probes = 0;
    for (DesignNode& node : nodes) {
        const BlockView* view = &node.item();
        for (std::size_t i = slotOf(view);; i = (i + 1) & m_mask) {
            if (m_slots[i].view == view)
                break;
            if (!m_slots[i].view) {
                m_slots[i] = Slot{view, &node};
                break;
            }
            if (++probes > probeBudget)
                return false;
        }
    }
    return true;
}

DesignNode* ViewIndex::find(const BlockView* view) const {
    if (!view || m_slots.empty())
        return nullptr;
    for (std::size_t i = slotOf(view);; i = (i + 1) & m_mask) {
        if (m_slots[i].view == view)
            return m_slots[i].node;
        if (!m_slots[i].view)
            return nullptr;
    }
}
