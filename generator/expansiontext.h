#pragma once

#include "generator/resolutiontree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the texts of a run hold and what moving their bytes has cost, for the run's bounds.
struct TextUsage {
    std::size_t bytes = 0;      // held by all texts together
    std::uint64_t byteWork = 0; // bytes copied or moved
};

// The text of one expansion in progress. Each step edits it near the previous edit (the scan
// takes the innermost reference of the first one), so the characters are kept on both sides
// of a gap at the last edit and an edit costs what it moves, not the length of the text.
// Every character also carries the resolution whose text it is, kept as runs of one label.
class ExpansionText {
public:
    using Label = ResolutionTree::Id;
    static constexpr std::size_t npos = std::string_view::npos;

    ExpansionText(ResolutionTree& tree, TextUsage& usage) : m_tree(tree), m_usage(usage) {}
    ExpansionText(const ExpansionText&) = delete;
    ExpansionText& operator=(const ExpansionText&) = delete;
    ~ExpansionText() { clear(); }

    std::size_t size() const { return (m_gap - m_begin) + (m_chars.size() - m_gapEnd); }
    char operator[](std::size_t i) const {
        const std::size_t left = m_gap - m_begin;
        return i < left ? m_chars[m_begin + i] : m_chars[m_gapEnd + (i - left)];
    }
    // Searches forward from `from`; npos when there is none.
    std::size_t find(char c, std::size_t from) const;
    std::size_t findOpen(std::size_t from) const; // the first "$(" starting at or after from
    // The last "$(" that starts at or after floor and ends before `before`.
    std::size_t rfindOpen(std::size_t before, std::size_t floor) const;

    // [pos, pos + length) in one piece, valid until the next change.
    std::string_view view(std::size_t pos, std::size_t length);
    // The deepest resolution whose text holds all of [pos, pos + length), length > 0.
    Label commonLabel(std::size_t pos, std::size_t length);

    void replace(std::size_t pos, std::size_t length, std::string_view with, Label label);
    void append(std::string_view text, Label label) { replace(size(), 0, text, label); }
    // Appends the first length characters to out and removes them.
    void moveFront(std::string& out, std::size_t length);
    void eraseFront(std::size_t length);
    // Appends the whole text to out and empties it.
    void moveAll(std::string& out);
    // Empties the text and lets go of its labels; a large buffer is given back.
    void clear();

private:
    struct Run {
        std::uint32_t length;
        Label label;
    };
    // Runs of one side; the left side also loses runs at its front, kept as an offset.
    struct Runs {
        std::vector<Run> runs;
        std::size_t first = 0;
        bool empty() const { return runs.size() == first; }
        Run& back() { return runs.back(); }
    };

    // The last c in [floor, end), or npos.
    std::size_t rfind(char c, std::size_t end, std::size_t floor) const;
    void moveGap(std::size_t pos);
    void reserveGap(std::size_t length);
    // Takes length characters' worth of runs off the end of `from` onto the end of `to`.
    void shiftRuns(Runs& from, Runs& to, std::size_t length);
    void pushRun(Runs& side, Run run);
    void dropRuns(Runs& side, std::size_t length);
    void releaseAll(Runs& side);

    ResolutionTree& m_tree;
    TextUsage& m_usage;
    // [m_begin, m_gap) before the gap, [m_gapEnd, size) after it; what lies before m_begin
    // has been moved out.
    std::string m_chars;
    std::size_t m_begin = 0;
    std::size_t m_gap = 0;
    std::size_t m_gapEnd = 0;
    Runs m_left;  // in text order, the last one ends at the gap
    Runs m_right; // in reverse order, the last one starts at the gap
};
