// One expansion step and the loop around it: the references of a text resolved against the
// counters, the wires of the design, the node's values and the global values.
#include "generator/generator.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/referencescan.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kDefaultReference = "$(default)";

std::string_view textOf(const DynString& value) {
    return value.text() ? std::string_view(value.text(), value.length()) : std::string_view();
}

std::string_view firstOf(const ValueList& values) {
    const DynString* first = values.at(0);
    return first ? textOf(*first) : std::string_view();
}

void appendJoined(std::string& out, const ValueList& values) {
    for (const DynString& value : values)
        out.append(textOf(value));
}

std::string decimal(long long n) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, result.ptr);
}

} // namespace

bool Generator::expandStep(std::string& text, const DesignNode* node, int depth,
                           ExpansionChain* chain) {
    Loop loop;
    loop.runBase = m_runs.size();
    m_runs.push_back(Run{0, 0});
    const bool changed = step(text, node, depth, chain, loop);
    m_runs.resize(loop.runBase);
    return changed;
}

void Generator::expandFully(std::string& text, const DesignNode* node, int depth,
                            ExpansionChain* chain) {
    Loop loop;
    loop.runBase = m_runs.size();
    m_runs.push_back(Run{0, 0});
    while (step(text, node, depth, chain, loop) && !m_error.set) {
        if (++loop.steps >= kMaxSteps || loop.inserted > kMaxInserted) {
            reportCircular(node);
            break;
        }
    }
    m_runs.resize(loop.runBase);
}

bool Generator::step(std::string& text, const DesignNode* node, int depth, ExpansionChain* chain,
                     Loop& loop) {
    Reference ref;
    if (!findReference(text, loop.from, ref))
        return false;
    loop.from = ref.firstOpen > 0 ? ref.firstOpen - 1 : 0;
    loop.generation = generationOf(ref, loop);
    if (loop.generation > kMaxGeneration) {
        reportCircular(node);
        return false;
    }

    const std::string_view name = ref.name;
    if (name == "num") {
        replace(text, ref, decimal((long long)m_order.size()), loop);
        return true;
    }
    if (name == "tab") {
        replace(text, ref, std::string(std::size_t(std::max(depth, 0)), ' '), loop);
        return true;
    }
    if (node) {
        if (name == "u_id" || name == "b_id" || name == "bnum") {
            const int n = name == "u_id"   ? node->serial()
                          : name == "b_id" ? node->typeSerial()
                                           : node->type().count;
            replace(text, ref, decimal(n), loop);
            return true;
        }
        const int output = node->type().outputs.find(name);
        if (output >= 0) {
            if (node->type().collect[std::size_t(output)] &&
                gatherOutput(text, ref, *node, output, depth, chain, loop))
                return true;
        } else if (const InputConnection* connection = node->connection(name)) {
            switch (resolveConnection(text, ref, *connection, depth, chain, loop)) {
            case Resolution::Replaced:
                return true;
            case Resolution::Stopped:
                return false;
            case Resolution::NotFound:
                break;
            }
        }
    }
    return resolveGeneric(text, ref, node, depth, chain, loop);
}

// The value each block fed by this output gives to a name, in the order of those blocks.
bool Generator::gatherOutput(std::string& text, const Reference& ref, const DesignNode& node,
                             int output, int depth, ExpansionChain* chain, Loop& loop) {
    struct Target {
        double key;
        const DesignNode* node;
        std::string_view input;
    };
    std::vector<PortEnd> ends;
    node.item().outputTargets(output + 1, ends);
    std::vector<Target> targets;
    targets.reserve(ends.size());
    for (const PortEnd& end : ends) {
        const DesignNode* to = end.block ? this->node(end.block) : nullptr;
        const char* input = to ? to->definition().input(end.port - 1) : nullptr;
        if (input)
            targets.push_back(Target{to->key(), to, input});
    }
    if (targets.empty())
        return false;
    std::stable_sort(targets.begin(), targets.end(),
                     [](const Target& a, const Target& b) { return a.key < b.key; });

    std::string delimiterName(ref.name);
    delimiterName += "_delimiter";
    const ValueList* delimiterValues = lookup(node, delimiterName);
    const std::string_view delimiter = delimiterValues ? firstOf(*delimiterValues) : "";

    const int chainSize = chain ? chain->size() : 0;
    std::string result;
    std::string piece;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const DesignNode* to = targets[i].node;
        const std::string_view content = ref.hasArgument ? ref.argument : targets[i].input;
        piece.assign("$(").append(content).append(")");
        // Gatherings inside one another with no connection resolved in between: the same
        // block and content again can only go round for ever.
        bool repeated = false;
        for (auto it = m_gatherings.rbegin(); it != m_gatherings.rend(); ++it) {
            if (it->chainSize != chainSize)
                break;
            if (it->node == to && it->content == content) {
                repeated = true;
                break;
            }
        }
        if (repeated) {
            reportCircular(to);
        } else {
            m_gatherings.push_back(Gathering{to, std::string(content), chainSize});
            expandNested(piece, to, depth + 2, chain);
            m_gatherings.pop_back();
        }
        result += piece;
        if (i + 1 < targets.size())
            result += delimiter;
    }
    replace(text, ref, result, loop);
    return true;
}

// The first value of the source's output (or of the argument), expanded at the source.
Generator::Resolution Generator::resolveConnection(std::string& text, const Reference& ref,
                                                   const InputConnection& connection, int depth,
                                                   ExpansionChain* chain, Loop& loop) {
    const DesignNode* source = connection.source;
    const std::string_view key =
        ref.hasArgument ? ref.argument : std::string_view(connection.outputName);
    const ValueList* values = lookup(*source, key);
    if (!values)
        return Resolution::NotFound;

    // Without a chain no resolution through a connection is under way, so ours is empty.
    ExpansionChain& active = chain ? *chain : m_chain;
    if (active.contains(source, key)) {
        reportCircular(source);
        return Resolution::Stopped;
    }
    std::string result(firstOf(*values));
    active.push(source, key);
    expandNested(result, source, depth + 2, &active);
    active.pop();
    replace(text, ref, result, loop);
    return Resolution::Replaced;
}

// The node's value, else the global value, else the default; at the file level followed by
// every block's value of the name.
bool Generator::resolveGeneric(std::string& text, const Reference& ref, const DesignNode* node,
                               int depth, ExpansionChain* chain, Loop& loop) {
    const std::string_view name = ref.name;
    const ValueList* values = node ? lookup(*node, name) : nullptr;
    if (!values)
        values = m_definitions.globals().find(name);
    std::string with;
    if (values)
        appendJoined(with, *values);
    else if (name != "default")
        with = kDefaultReference; // an unresolved default itself becomes empty
    loop.inserted += with.size();
    if (!node)
        gatherFileLevel(name, depth, chain, with);
    replace(text, ref, with, loop);
    return true;
}

void Generator::gatherFileLevel(std::string_view name, int depth, ExpansionChain* chain,
                                std::string& out) {
    const std::size_t base = out.size();
    // While what is gathered holds no reference and cannot complete one, expanding all of
    // it again changes only the newly appended value: expand that one alone.
    bool inert = true;
    std::string piece;
    for (const DesignNode* node : m_order) {
        const ValueList* values = lookup(*node, name);
        if (!values)
            continue;
        piece.clear();
        if (inert) {
            appendJoined(piece, *values);
            expandNested(piece, node, depth + 2, chain);
            inert = isInert(piece);
            out += piece;
        } else {
            piece.assign(out, base);
            appendJoined(piece, *values);
            expandNested(piece, node, depth + 2, chain);
            inert = isInert(piece);
            out.resize(base);
            out += piece;
        }
    }
}

void Generator::expandNested(std::string& text, const DesignNode* node, int depth,
                             ExpansionChain* chain) {
    if (m_nesting >= kMaxNesting) {
        reportCircular(node);
        return;
    }
    ++m_nesting;
    expandFully(text, node, depth, chain);
    --m_nesting;
}

namespace {

struct RunStartAfter {
    template <typename R> bool operator()(std::size_t position, const R& run) const {
        return position < run.start;
    }
};

} // namespace

int Generator::generationOf(const Reference& ref, const Loop& loop) const {
    const auto first = m_runs.begin() + std::ptrdiff_t(loop.runBase);
    auto it = std::upper_bound(first, m_runs.end(), ref.begin, RunStartAfter()) - 1;
    int youngest = 0;
    for (; it != m_runs.end() && it->start < ref.end; ++it)
        youngest = std::max(youngest, it->generation);
    return youngest + 1;
}

void Generator::replace(std::string& text, const Reference& ref, std::string_view with,
                        Loop& loop) {
    const std::size_t oldLength = text.size();
    text.replace(ref.begin, ref.end - ref.begin, with);

    // The runs from the one holding the reference's start up to the one holding the character
    // after it become: what stays before the reference, the new text, what follows it.
    const auto first = m_runs.begin() + std::ptrdiff_t(loop.runBase);
    const auto lo = std::upper_bound(first, m_runs.end(), ref.begin, RunStartAfter()) - 1;
    const auto hi = std::upper_bound(lo, m_runs.end(), ref.end, RunStartAfter());
    Run replacement[3];
    int count = 0;
    auto add = [&](Run run) {
        if (count == 0 || replacement[count - 1].generation != run.generation)
            replacement[count++] = run;
    };
    if (lo->start < ref.begin)
        add(*lo);
    if (!with.empty())
        add(Run{ref.begin, loop.generation});
    if (ref.end < oldLength)
        add(Run{ref.begin + with.size(), (hi - 1)->generation});
    if (count == 0)
        add(Run{ref.begin, loop.generation}); // the text is now empty

    const std::size_t tail = std::size_t(hi - m_runs.begin());
    for (std::size_t i = tail; i < m_runs.size(); ++i)
        m_runs[i].start = m_runs[i].start - (ref.end - ref.begin) + with.size();
    const auto at = m_runs.erase(lo, hi);
    m_runs.insert(at, replacement, replacement + count);
}

void Generator::reportCircular(const DesignNode* node) {
    m_error.set = true;
    m_error.node = node;
    if (m_reporter)
        m_reporter->circularDefinition(node ? &node->item() : nullptr);
}
