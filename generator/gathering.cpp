// Gathering: a collect output's value from every block it feeds, and at the file level a
// name's value from every block that has one. Each value is expanded in its own block, as a
// nested frame, one after the other.
#include "generator/generator.h"

#include "definitions/blockdefinition.h"
#include "generator/blockview.h"
#include "generator/expansionframe.h"

#include <algorithm>

namespace {

// Set in the pair of a gathering; names are numbered far below it.
constexpr std::uint64_t kGatheringPair = std::uint64_t(1) << 31;

} // namespace

bool Generator::startGathering(ExpansionFrame& frame, const Reference& ref, Label at, int output) {
    const DesignNode& node = *frame.node;
    std::vector<PortEnd>& ends = m_ends;
    ends.clear();
    node.item().outputTargets(output + 1, ends);
    frame.targets.clear();
    for (const PortEnd& end : ends) {
        const DesignNode* to = end.block ? this->node(end.block) : nullptr;
        const char* input = to ? to->definition().input(end.port - 1) : nullptr;
        if (input)
            frame.targets.push_back(ExpansionFrame::Target{to, input});
    }
    if (frame.targets.empty())
        return false;
    std::stable_sort(frame.targets.begin(), frame.targets.end(),
                     [](const auto& a, const auto& b) { return a.node->key() < b.node->key(); });

    std::string& delimiterName = m_scratch;
    delimiterName.assign(ref.name).append("_delimiter");
    const ValueList* delimiter = lookup(node, delimiterName);
    const char* first = delimiter ? delimiter->text(0) : nullptr;
    frame.delimiter.assign(first ? first : "");
    frame.hasArgument = ref.hasArgument;
    frame.argument.assign(ref.argument);

    // The gathering resolves the output's name in this block, in its own way (the value of the
    // name, which a connection resolution reads, is another text): what it puts in place, the
    // delimiters above all, may not need the same gathering again. The pieces are resolutions
    // of their own and hang where the gathering stands.
    const std::uint64_t pair = pairOf(&node, ref.name) | kGatheringPair;
    if (m_tree.valueRepeats(at, pair)) {
        reportCircular(&node);
        afterStep(frame, false);
        return true;
    }
    frame.pieceLabel = at;
    m_tree.retain(at);
    waitFor(frame, ref, m_tree.make(at, pair, false), true);
    frame.waiting = ExpansionFrame::Waiting::Gathering;
    frame.next = 0;
    nextPiece(frame);
    return true;
}

// For every block fed, in order: "$(" and the argument (or the block's input name) and ")",
// expanded in that block two deeper; the delimiter between two pieces.
void Generator::nextPiece(ExpansionFrame& frame) {
    if (frame.next == frame.targets.size()) {
        m_tree.release(frame.pieceLabel);
        putResult(frame);
        return;
    }
    if (frame.next > 0 && !frame.delimiter.empty()) {
        m_out += frame.delimiter;
        frame.result.append(TextSummary::of(frame.delimiter));
    }
    const ExpansionFrame::Target target = frame.targets[frame.next++];
    std::string& piece = m_scratch;
    piece.assign("$(");
    piece += frame.hasArgument ? std::string_view(frame.argument) : std::string_view(target.input);
    piece += ')';
    pushFrame(target.node, frame.depth + 2).text.append(piece, frame.pieceLabel);
}

// Appends the next block's value to what is gathered and expands it in that block. While what
// is gathered holds no reference and cannot complete one, expanding all of it again would
// change only the new value: that is expanded alone.
void Generator::nextGatheredNode(ExpansionFrame& frame) {
    for (; frame.next < m_order.size(); ++frame.next) {
        ++m_steps; // looking at a block costs like a step, so that many of them are bounded
        const DesignNode* node = m_order[frame.next];
        const ValueList* values = lookup(*node, frame.name);
        if (!values)
            continue;
        std::string& value = m_scratch;
        value.clear();
        appendJoined(value, *values);
        const Label own = m_tree.make(frame.label, pairOf(node, frame.name), false);
        if (frame.inert) {
            pushFrame(node, frame.depth + 2).text.append(value, own);
        } else {
            const std::string gathered(m_out, frame.gatheredStart);
            m_out.resize(frame.gatheredStart);
            m_usage.byteWork += gathered.size();
            ExpansionFrame& child = pushFrame(node, frame.depth + 2);
            child.text.append(gathered, frame.label);
            child.text.append(value, own);
        }
        m_tree.release(own);
        return;
    }
    putResult(frame);
}
