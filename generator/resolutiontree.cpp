#include "generator/resolutiontree.h"

ResolutionTree::ResolutionTree() : m_slots(64) {
    m_nodes.push_back(Node{0, kRoot, 0, 0, 1, false});
    m_path.push_back(PathEntry{kRoot, -1});
}

ResolutionTree::Id ResolutionTree::make(Id parent, std::uint64_t pair, bool throughConnection) {
    const Node& above = m_nodes[parent];
    const Node node{
        pair, parent,           above.depth + 1, above.connections + (throughConnection ? 1u : 0u),
        1,    throughConnection};
    ++m_nodes[parent].refs;
    if (!m_free.empty()) {
        const Id id = m_free.back();
        m_free.pop_back();
        m_nodes[id] = node;
        return id;
    }
    m_nodes.push_back(node);
    return Id(m_nodes.size() - 1);
}

void ResolutionTree::release(Id id) {
    // A loop, not recursion: a chain of resolutions can be as deep as the design is long.
    while (id != kRoot && --m_nodes[id].refs == 0) {
        m_free.push_back(id);
        id = m_nodes[id].parent;
    }
}

ResolutionTree::Id ResolutionTree::commonAncestor(Id a, Id b) {
    while (a != b) {
        ++m_steps;
        if (m_nodes[a].depth >= m_nodes[b].depth)
            a = m_nodes[a].parent;
        else
            b = m_nodes[b].parent;
    }
    return a;
}

bool ResolutionTree::connectionOnPath(Id at, std::uint64_t pair) {
    moveTo(at);
    const OnPath* on = findOnPath(pair);
    return on && on->connections > 0;
}

bool ResolutionTree::valueRepeats(Id at, std::uint64_t pair) {
    moveTo(at);
    const OnPath* on = findOnPath(pair);
    if (!on || on->count == 0)
        return false;
    const Node& earlier = m_nodes[m_path[std::size_t(on->deepest)].node];
    return on->count > 1 || m_nodes[at].connections == earlier.connections;
}

void ResolutionTree::resetPath() {
    while (m_path.size() > 1)
        pop();
}

// Makes the path end at `at`: back up to the deepest node it shares with at's ancestors,
// then down to at.
void ResolutionTree::moveTo(Id at) {
    m_climb.clear();
    Id x = at;
    for (;;) {
        const std::uint32_t depth = m_nodes[x].depth;
        if (depth < m_path.size() && m_path[depth].node == x)
            break;
        m_climb.push_back(x);
        x = m_nodes[x].parent;
    }
    while (m_path.size() > m_nodes[x].depth + 1)
        pop();
    for (auto it = m_climb.rbegin(); it != m_climb.rend(); ++it)
        push(*it);
    m_steps += m_climb.size();
}

void ResolutionTree::push(Id id) {
    retain(id);
    const Node& node = m_nodes[id];
    OnPath& on = insertOnPath(node.pair);
    m_path.push_back(PathEntry{id, on.deepest});
    on.deepest = std::int32_t(m_path.size() - 1);
    ++on.count;
    if (node.throughConnection)
        ++on.connections;
}

void ResolutionTree::pop() {
    const PathEntry entry = m_path.back();
    m_path.pop_back();
    const Node& node = m_nodes[entry.node];
    OnPath* on = findOnPath(node.pair);
    if (--on->count == 0) {
        eraseOnPath(node.pair);
    } else {
        on->deepest = entry.previous;
        if (node.throughConnection)
            --on->connections;
    }
    ++m_steps;
    release(entry.node);
}

// Every bit of the pair (the context sits in the high half) must reach the low bits.
std::size_t ResolutionTree::slotOf(std::uint64_t pair) const {
    pair ^= pair >> 30;
    pair *= 0xBF58476D1CE4E5B9ull;
    pair ^= pair >> 27;
    pair *= 0x94D049BB133111EBull;
    pair ^= pair >> 31;
    return std::size_t(pair) & (m_slots.size() - 1);
}

ResolutionTree::OnPath* ResolutionTree::findOnPath(std::uint64_t pair) {
    for (std::size_t i = slotOf(pair);; i = (i + 1) & (m_slots.size() - 1)) {
        if (m_slots[i].pair == pair)
            return &m_slots[i].value;
        if (m_slots[i].pair == 0)
            return nullptr;
    }
}

ResolutionTree::OnPath& ResolutionTree::insertOnPath(std::uint64_t pair) {
    if (OnPath* on = findOnPath(pair))
        return *on;
    if (2 * (m_used + 1) > m_slots.size()) {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (slot.pair == 0)
                continue;
            std::size_t i = slotOf(slot.pair);
            while (m_slots[i].pair != 0)
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = slot;
        }
    }
    std::size_t i = slotOf(pair);
    while (m_slots[i].pair != 0)
        i = (i + 1) & (m_slots.size() - 1);
    m_slots[i].pair = pair;
    m_slots[i].value = OnPath{};
    ++m_used;
    return m_slots[i].value;
}

// Linear probing without tombstones: entries after the hole that would no longer be found
// move back into it.
void ResolutionTree::eraseOnPath(std::uint64_t pair) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t hole = slotOf(pair);
    while (m_slots[hole].pair != pair)
        hole = (hole + 1) & mask;
    for (std::size_t i = (hole + 1) & mask; m_slots[i].pair != 0; i = (i + 1) & mask) {
        const std::size_t home = slotOf(m_slots[i].pair);
        // Movable when its home does not lie cyclically in (hole, i].
        const bool between = hole < i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (!between) {
            m_slots[hole] = m_slots[i];
            hole = i;
        }
    }
    m_slots[hole] = Slot{};
    --m_used;
}
