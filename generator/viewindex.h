#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class BlockView;
class DesignNode;

// The node of each block view: a flat open-addressing table. Slots follow the order of the
// views' addresses where that spreads them well (blocks allocated one after another land
// in neighbouring slots, so walking a design touches the table in order); otherwise, or
// when that order crowds them, slots come from a multiplicative hash.
class ViewIndex {
public:
    // Indexes the node of every view; a view met twice keeps its first node.
    void build(std::span<DesignNode> nodes);
    DesignNode* find(const BlockView* view) const;

private:
    struct Slot {
        const BlockView* view = nullptr;
        DesignNode* node = nullptr;
    };
    std::size_t slotOf(const BlockView* view) const {
        const auto address = std::uint64_t(reinterpret_cast<std::uintptr_t>(view));
        if (m_ordered)
            return std::size_t((address - m_base) >> m_shift) & m_mask;
        return std::size_t((address * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;
    }
    // False when the probes exceed the budget (the table is then incomplete).
    bool fill(std::span<DesignNode> nodes, std::size_t probeBudget);

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    bool m_ordered = false;
    std::uint64_t m_base = 0;
    unsigned m_shift = 0;
};
