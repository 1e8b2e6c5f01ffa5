#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The resolutions of one expansion in progress. Each resolution (a name looked up in a
// context, the context and the name packed into a pair key) is the child of the resolution
// whose text held its reference, so the ancestors of a resolution are exactly the resolutions
// that need it. A name that is needed again, in the same context, by its own ancestors goes
// round in a circle; finite expansions, however deep, never do.
//
// Circle checks walk a path from the outermost text down to the resolution being checked;
// the path moves only as far as the expansion moves in the tree, and a table counts the pairs
// on it, so a check costs the same at any depth.
class ResolutionTree {
public:
    using Id = std::uint32_t;
    static constexpr Id kRoot = 0; // the outermost text; never released

    ResolutionTree();

    // A new resolution under parent, held once by the caller.
    Id make(Id parent, std::uint64_t pair, bool throughConnection);
    void retain(Id id) { ++m_nodes[id].refs; }
    void release(Id id);

    // The deepest resolution that both a and b descend from (or are).
    Id commonAncestor(Id a, Id b);

    // Whether pair is resolved through a connection above (or at) `at`: what the chain of
    // connections being resolved holds.
    bool connectionOnPath(Id at, std::uint64_t pair);
    // Whether resolving pair as a plain value at `at` needs itself. A first repeat whose loop
    // passes through a connection is left to the connection check, which reports it at the
    // block of the wire the next time round.
    bool valueRepeats(Id at, std::uint64_t pair);

    // Leaves the path at the root, letting go of everything it held.
    void resetPath();

    std::size_t live() const { return m_nodes.size() - m_free.size(); }
    // Tree steps taken so far (walking up to common ancestors and along the path).
    std::uint64_t steps() const { return m_steps; }

private:
    struct Node {
        std::uint64_t pair;
        Id parent;
        std::uint32_t depth;
        std::uint32_t connections; // on the way from the root down to here, this one included
        std::uint32_t refs;
        bool throughConnection;
    };
    struct OnPath {
        std::uint32_t count = 0;
        std::uint32_t connections = 0;
        std::int32_t deepest = -1; // path index of its deepest occurrence
    };
    struct PathEntry {
        Id node;
        std::int32_t previous; // the deepest occurrence of the same pair above this one
    };
    struct Slot {
        std::uint64_t pair = 0; // 0: empty (no pair key is 0)
        OnPath value;
    };

    void moveTo(Id at);
    void push(Id id);
    void pop();
    OnPath* findOnPath(std::uint64_t pair);
    OnPath& insertOnPath(std::uint64_t pair);
    void eraseOnPath(std::uint64_t pair);
    std::size_t slotOf(std::uint64_t pair) const;

    std::vector<Node> m_nodes;
    std::vector<Id> m_free;
    std::vector<PathEntry> m_path; // m_path[d] is the path's node at depth d
    std::vector<Id> m_climb;
    std::vector<Slot> m_slots; // open addressing, linear probing, power-of-two size
    std::size_t m_used = 0;
    std::uint64_t m_steps = 0;
};
