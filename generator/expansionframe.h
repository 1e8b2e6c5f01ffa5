#pragma once

#include "generator/expansiontext.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class DesignNode;
class ValueList;

// All strings of a value list, joined with nothing between them.
void appendJoined(std::string& out, const ValueList& values);

// What a parent needs to know of a finished expansion to take it as it stands.
struct TextSummary {
    bool empty = true;
    char first = 0;
    char last = 0;
    // Holds a "$(" that a scan would take when nothing precedes the text (or may do so).
    bool hasOpen = false;

    static TextSummary of(std::string_view text) {
        TextSummary s;
        s.empty = text.empty();
        if (!s.empty) {
            s.first = text.front();
            s.last = text.back();
        }
        s.hasOpen = text.find("$(") != std::string_view::npos;
        return s;
    }
    void append(const TextSummary& next) {
        if (next.empty)
            return;
        hasOpen = hasOpen || next.hasOpen || (!empty && last == '$' && next.first == '(');
        if (empty)
            first = next.first;
        last = next.last;
        empty = false;
    }
    // Expanding it followed by more text changes only what follows.
    bool inert() const { return !hasOpen && (empty || (last != '\\' && last != '$')); }
};

// One expansion in progress (an expandFully of the plain algorithm): its text, its context,
// and the step that waits for nested expansions to end.
struct ExpansionFrame {
    enum class Waiting { Nothing, Connection, Gathering, FileGathering };
    struct Target {
        const DesignNode* node;
        const char* input;
    };

    ExpansionFrame(ResolutionTree& tree, TextUsage& usage) : text(tree, usage) {}

    ExpansionText text; // what is left to expand; what came before is in the output
    const DesignNode* node = nullptr;
    int depth = 0;
    std::size_t outStart = 0;  // where its finished text begins in the generator's output
    int before = -1;           // the character before text, -1 when none
    std::size_t from = 0;      // no reference starts before this
    std::size_t closeFrom = 0; // no ")" between the first "$(" and this
    bool done = false;
    bool openLeft = false; // it ended holding a "$(" a scan would take, or may hold one

    // The step waiting for nested expansions.
    Waiting waiting = Waiting::Nothing;
    std::size_t refBegin = 0;
    std::size_t refLength = 0;
    // The result goes straight into the output behind what came before the reference, unless
    // it can take part in a reference with what follows, in which case it is put back.
    bool streaming = false;
    std::size_t resultStart = 0;
    ResolutionTree::Id label = ResolutionTree::kRoot; // of the result; held while waiting
    TextSummary result;
    TextSummary child; // of the nested expansion that ended last

    // Gathering along a collect output: the blocks fed, in order, and the piece's content.
    std::vector<Target> targets;
    ResolutionTree::Id pieceLabel = ResolutionTree::kRoot; // held while gathering
    std::size_t next = 0;
    std::string delimiter;
    std::string argument;
    bool hasArgument = false;

    // Gathering every block's value at the file level, behind the global value.
    std::string name;
    std::size_t gatheredStart = 0; // in the output
    bool inert = true;
};
