// Expansion: one step replaces the next reference of a text, resolved against the counters,
// the wires of the design, the node's values and the global values. A resolution whose text
// must be expanded on its own (through a connection, a gathering) is a frame on an explicit
// stack; the step that needs it waits until the frame has ended.
#include "generator/generator.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/expansionframe.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kDefaultReference = "$(default)";
// The output of one line is given back when it grew larger than this.
constexpr std::size_t kKeptOutput = std::size_t(64) << 20;

std::string_view firstOf(const ValueList& values) {
    const DynString* first = values.at(0);
    return first && first->text() ? std::string_view(first->text(), first->length())
                                  : std::string_view();
}

// A number in decimal, in a buffer of the caller's.
struct Decimal {
    explicit Decimal(long long n) : end(std::to_chars(buffer, buffer + sizeof buffer, n).ptr) {}
    operator std::string_view() const {
        return std::string_view(buffer, std::size_t(end - buffer));
    }
    char buffer[24];
    char* end;
};

} // namespace

void appendJoined(std::string& out, const ValueList& values) {
    for (const DynString& value : values)
        if (value.text())
            out.append(value.text(), value.length());
}

void Generator::expandFully(std::string& text, const DesignNode* node, int depth) {
    if (m_stop != GenerationStop::None || text.find("$(") == std::string::npos)
        return;
    const std::size_t base = m_top;
    const std::size_t start = m_out.size();
    pushFrame(node, depth).text.append(text, ResolutionTree::kRoot);
    run(base);
    if (m_stop == GenerationStop::None)
        text.assign(m_out, start);
    m_out.resize(start);
    if (base == 0) {
        m_tree.resetPath();
        if (m_out.capacity() > kKeptOutput)
            std::string().swap(m_out);
    }
}

void Generator::run(std::size_t base) {
    while (m_top > base) {
        if (overBounds()) {
            unwind(base);
            return;
        }
        ExpansionFrame& frame = *m_frames[m_top - 1];
        if (frame.waiting != ExpansionFrame::Waiting::Nothing)
            resume(frame);
        else if (frame.done)
            finishFrame();
        else
            step(frame);
    }
}

ExpansionFrame& Generator::pushFrame(const DesignNode* node, int depth) {
    if (m_top == m_frames.size())
        m_frames.push_back(std::make_unique<ExpansionFrame>(m_tree, m_usage));
    ExpansionFrame& frame = *m_frames[m_top++];
    frame.node = node;
    frame.depth = depth;
    frame.outStart = m_out.size();
    frame.before = -1;
    frame.from = 0;
    frame.closeFrom = 0;
    frame.done = false;
    frame.openLeft = false;
    frame.waiting = ExpansionFrame::Waiting::Nothing;
    return frame;
}

// The frame's text joins its finished part in the output; the frame below learns what it is.
void Generator::finishFrame() {
    ExpansionFrame& frame = *m_frames[m_top - 1];
    frame.text.moveAll(m_out);
    TextSummary summary;
    summary.empty = m_out.size() == frame.outStart;
    if (!summary.empty) {
        summary.first = m_out[frame.outStart];
        summary.last = m_out.back();
    }
    summary.hasOpen = frame.openLeft;
    --m_top;
    if (m_top > 0)
        m_frames[m_top - 1]->child = summary;
}

void Generator::step(ExpansionFrame& frame) {
    Reference ref;
    if (!findReference(frame.text, frame.before, frame.from, frame.closeFrom, ref)) {
        frame.openLeft = ref.firstOpen != Reference::npos;
        frame.done = true;
        return;
    }
    ++m_steps;
    frame.from = ref.firstOpen > 0 ? ref.firstOpen - 1 : 0;
    const std::size_t length = ref.end - ref.begin;
    const Label at = frame.text.commonLabel(ref.begin, length);
    splitReference(frame.text.view(ref.begin, length), ref);

    const std::string_view name = ref.name;
    if (name == "num") {
        replaceReference(frame, ref, Decimal((long long)m_order.size()), at);
        return;
    }
    if (name == "tab") {
        replaceReference(frame, ref, std::string(std::size_t(std::max(frame.depth, 0)), ' '), at);
        return;
    }
    const DesignNode* node = frame.node;
    if (node) {
        if (name == "u_id" || name == "b_id" || name == "bnum") {
            const int n = name == "u_id"   ? node->serial()
                          : name == "b_id" ? node->typeSerial()
                                           : node->type().count;
            replaceReference(frame, ref, Decimal(n), at);
            return;
        }
        const int output = node->type().outputs.find(name);
        if (output >= 0) {
            if (node->type().collect[std::size_t(output)] && startGathering(frame, ref, at, output))
                return;
        } else if (const InputConnection* connection = node->connection(name)) {
            // The first value of the source's output (or of the argument), expanded there.
            const DesignNode* source = connection->source;
            const std::string_view key =
                ref.hasArgument ? ref.argument : std::string_view(connection->outputName);
            if (const ValueList* values = lookup(*source, key)) {
                const std::uint64_t pair = pairOf(source, key);
                if (m_tree.connectionOnPath(at, pair)) {
                    reportCircular(source);
                    afterStep(frame, false);
                    return;
                }
                const Label through = m_tree.make(at, pair, true);
                waitFor(frame, ref, through, true);
                frame.waiting = ExpansionFrame::Waiting::Connection;
                pushFrame(source, frame.depth + 2).text.append(firstOf(*values), through);
                return;
            }
        }
    }
    resolveGeneric(frame, ref, at);
}

// The node's value, else the global value, else the default; at the file level followed by
// every block's value of the name.
void Generator::resolveGeneric(ExpansionFrame& frame, const Reference& ref, Label at) {
    const DesignNode* node = frame.node;
    const std::string_view name = ref.name;
    const ValueList* values = node ? lookup(*node, name) : nullptr;
    if (!values)
        values = m_definitions.globals().find(name);
    const std::uint64_t pair = pairOf(node, name);
    // Once a circle has been found every expansion takes a single step, which cannot go
    // round; only a circle through wires is found again then, as it always was.
    if (!m_error.set && m_tree.valueRepeats(at, pair)) {
        reportCircular(node);
        afterStep(frame, false);
        return;
    }
    std::string& with = m_scratch;
    with.clear();
    if (values)
        appendJoined(with, *values);
    else if (name != "default")
        with = kDefaultReference; // an unresolved default itself becomes empty
    std::size_t gatherFrom = 0;
    if (!node) {
        while (gatherFrom < m_order.size() && !lookup(*m_order[gatherFrom], name))
            ++gatherFrom;
        m_steps += gatherFrom / 16; // looking at many blocks costs like a step
    }
    const bool gathers = !node && gatherFrom < m_order.size();
    if (!gathers && with.find('$') == std::string::npos) {
        // Text without a "$" holds no reference of its own; in one that it takes part in,
        // the resolution it hangs under counts the same as its own would.
        replaceReference(frame, ref, with, at);
        return;
    }
    const Label label = m_tree.make(at, pair, false);
    if (!gathers) {
        replaceReference(frame, ref, with, label);
        m_tree.release(label);
        return;
    }
    frame.name.assign(name);
    waitFor(frame, ref, label, false);
    frame.waiting = ExpansionFrame::Waiting::FileGathering;
    m_out += with;
    frame.gatheredStart = m_out.size();
    frame.next = gatherFrom;
    frame.inert = true;
    nextGatheredNode(frame);
}

void Generator::replaceReference(ExpansionFrame& frame, const Reference& ref, std::string_view with,
                                 Label label) {
    frame.text.replace(ref.begin, ref.end - ref.begin, with, label);
    frame.closeFrom = ref.begin; // no ")" lay between the first "$(" and the reference
    afterStep(frame, true);
}

// An expandFully ends after a step that changed nothing or found a circle.
void Generator::afterStep(ExpansionFrame& frame, bool changed) {
    if (!changed || m_error.set) {
        frame.done = true;
        frame.openLeft = true; // not scanned to the end: assume the worst
        return;
    }
    // No later reference starts before `from`, but each "$" just before it may still begin
    // one, once what follows it turns into "(". Up to the last other character the text is
    // final.
    std::size_t final = frame.from;
    while (final > 0 && frame.text[final - 1] == '$')
        --final;
    if (final > 0) {
        frame.before = frame.text[final - 1];
        frame.text.moveFront(m_out, final);
        frame.closeFrom -= std::min(frame.closeFrom, final);
        frame.from -= final;
    }
}

// The step waits for nested expansions whose text (labelled `label`, held by the frame from
// now on) replaces the reference. When nothing before the reference can take part in a later
// one, that part is final: it goes to the output now and the result can follow it there.
void Generator::waitFor(ExpansionFrame& frame, const Reference& ref, Label label, bool mayStream) {
    frame.refBegin = ref.begin;
    frame.refLength = ref.end - ref.begin;
    frame.label = label;
    frame.result = TextSummary{};
    const int before = ref.begin > 0 ? frame.text[ref.begin - 1] : frame.before;
    frame.streaming = mayStream && ref.firstOpen == ref.begin && before != '$';
    if (frame.streaming) {
        frame.text.moveFront(m_out, ref.begin);
        frame.before = before;
        frame.refBegin = 0;
        frame.from = 0;
    }
    frame.resultStart = m_out.size();
}

// The nested expansions have ended; their text, in the output from resultStart, replaces the
// reference: left where it is when nothing in it can start or end a reference with what
// follows, else taken back into the text.
void Generator::putResult(ExpansionFrame& frame) {
    const TextSummary& result = frame.result;
    if (frame.streaming && !result.hasOpen && (result.empty || result.last != '$')) {
        frame.text.eraseFront(frame.refLength);
        if (!result.empty)
            frame.before = result.last;
        frame.closeFrom = 0;
    } else {
        std::string& text = m_scratch;
        text.assign(m_out, frame.resultStart);
        m_out.resize(frame.resultStart);
        m_usage.byteWork += text.size();
        frame.text.replace(frame.refBegin, frame.refLength, text, frame.label);
        frame.closeFrom = frame.refBegin;
    }
    m_tree.release(frame.label);
    frame.label = ResolutionTree::kRoot;
    frame.waiting = ExpansionFrame::Waiting::Nothing;
    afterStep(frame, true);
}

void Generator::resume(ExpansionFrame& frame) {
    switch (frame.waiting) {
    case ExpansionFrame::Waiting::Connection:
        frame.result = frame.child;
        putResult(frame);
        break;
    case ExpansionFrame::Waiting::Gathering:
        frame.result.append(frame.child);
        nextPiece(frame);
        break;
    case ExpansionFrame::Waiting::FileGathering:
        frame.inert = frame.child.inert();
        ++frame.next;
        nextGatheredNode(frame);
        break;
    case ExpansionFrame::Waiting::Nothing:
        break;
    }
}

// The output bound also covers what holds the text being expanded (its frames, its
// resolutions), so that nesting, however deep, cannot exhaust memory either.
bool Generator::checkBounds() {
    const std::uint64_t steps = m_steps + m_usage.byteWork / 64 + m_tree.steps();
    const std::size_t held = m_emitted + m_out.size() + m_usage.bytes +
                             m_top * (sizeof(ExpansionFrame) + 64) + m_tree.live() * 64;
    if (steps > m_limits.steps)
        m_stop = GenerationStop::Steps;
    else if (held > m_limits.outputBytes)
        m_stop = GenerationStop::OutputSize;
    return m_stop != GenerationStop::None;
}

void Generator::unwind(std::size_t base) {
    while (m_top > base) {
        ExpansionFrame& frame = *m_frames[--m_top];
        if (frame.waiting != ExpansionFrame::Waiting::Nothing)
            m_tree.release(frame.label);
        if (frame.waiting == ExpansionFrame::Waiting::Gathering)
            m_tree.release(frame.pieceLabel);
        frame.waiting = ExpansionFrame::Waiting::Nothing;
        frame.text.clear();
    }
}

// The context (0 for the file level, else the node's place plus one) and the name's number.
std::uint64_t Generator::pairOf(const DesignNode* node, std::string_view name) {
    auto it = m_names.find(name);
    if (it == m_names.end())
        it = m_names.emplace(std::string(name), std::uint32_t(m_names.size() + 1)).first;
    const std::uint64_t context = node ? std::uint64_t(node - m_nodes.data()) + 1 : 0;
    return context << 32 | it->second;
}

void Generator::reportCircular(const DesignNode* node) {
    m_error.set = true;
    m_error.node = node;
    if (m_reporter)
        m_reporter->circularDefinition(node ? &node->item() : nullptr);
}
