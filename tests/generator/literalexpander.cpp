#include "literalexpander.h"

#include "generator/blockview.h"

#include <algorithm>
#include <set>

namespace {

constexpr long kStepBudget = 3000;
constexpr int kNestingBudget = 100;
constexpr std::size_t kLengthBudget = 1 << 12;

std::string joined(const ValueList& values) {
    std::string out;
    for (const DynString& v : values)
        out += v.text() ? v.text() : "";
    return out;
}

} // namespace

LiteralExpander::LiteralExpander(const DefinitionSet& definitions, const Generator& generator)
    : m_definitions(definitions), m_generator(generator) {}

const ValueList* LiteralExpander::lookup(const DesignNode* node, const std::string& name) const {
    if (const ValueList* v = node->item().variables().find(name))
        return v;
    return node->definition().section(name.c_str());
}

void LiteralExpander::expandFully(std::string& text, const DesignNode* node, int depth,
                                  Chain* chain) {
    if (++m_nesting > kNestingBudget)
        m_gaveUp = true;
    while (!m_gaveUp) {
        if (!expandStep(text, node, depth, chain) || m_errorSet)
            break;
        if (++m_steps > kStepBudget || text.size() > kLengthBudget)
            m_gaveUp = true;
    }
    --m_nesting;
}

bool LiteralExpander::expandStep(std::string& text, const DesignNode* node, int depth,
                                 Chain* chain) {
    // The scan.
    std::size_t p = text.find("$(");
    while (p != std::string::npos && p > 0 && text[p - 1] == '\\')
        p = text.find("$(", p + 1);
    if (p == std::string::npos)
        return false;
    const std::size_t q = text.find(')', p + 2);
    if (q == std::string::npos)
        return false;
    for (;;) {
        const std::size_t inner = text.find("$(", p + 1);
        if (inner == std::string::npos || inner >= q)
            break;
        p = inner;
    }
    const std::size_t len = q + 1 - p;
    const std::string content = text.substr(p + 2, q - p - 2);
    const std::size_t colon = content.find(':');
    const bool hasArg = colon != std::string::npos;
    const std::string name = hasArg ? content.substr(0, colon) : content;
    const std::string arg = hasArg ? content.substr(colon + 1) : "";

    if (name == "num") {
        text.replace(p, len, std::to_string(m_generator.nodes().size()));
        return true;
    }
    if (name == "tab") {
        text.replace(p, len, std::string(std::size_t(depth), ' '));
        return true;
    }
    if (!node)
        return generic(text, p, len, name, node, depth, chain);
    if (name == "u_id" || name == "b_id" || name == "bnum") {
        const int n = name == "u_id"   ? node->serial()
                      : name == "b_id" ? node->typeSerial()
                                       : node->type().count;
        text.replace(p, len, std::to_string(n));
        return true;
    }
    const BlockDefinition& def = node->definition();
    const int k = def.outputIndex(name.c_str());
    if (k >= 0) {
        const ValueList* delimiterList = lookup(node, name + "_delimiter");
        const std::string delimiter =
            delimiterList && delimiterList->count() ? delimiterList->text(0) : "";
        std::vector<PortEnd> wires;
        node->item().outputTargets(k + 1, wires);
        std::vector<std::pair<const DesignNode*, std::string>> ends;
        for (const PortEnd& w : wires) {
            const DesignNode* to = m_generator.node(w.block);
            if (to && to->definition().input(w.port - 1))
                ends.emplace_back(to, to->definition().input(w.port - 1));
        }
        if (def.isCollect(name.c_str()) && !ends.empty()) {
            std::stable_sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) {
                return Generator::positionKey(a.first->item()) <
                       Generator::positionKey(b.first->item());
            });
            std::string result;
            for (std::size_t i = 0; i < ends.size(); ++i) {
                std::string piece = "$(" + (hasArg ? arg : ends[i].second) + ")";
                expandFully(piece, ends[i].first, depth + 2, chain);
                result += piece;
                if (i + 1 < ends.size())
                    result += delimiter;
            }
            text.replace(p, len, result);
            return true;
        }
        return generic(text, p, len, name, node, depth, chain);
    }
    if (const InputConnection* c = node->connection(name)) {
        const std::string key = hasArg ? arg : std::string(c->outputName);
        const ValueList* found = lookup(c->source, key);
        if (found) {
            std::string result = found->count() ? found->text(0) : "";
            Chain local;
            Chain* active = chain ? chain : &local;
            for (const auto& [n, k2] : *active) {
                if (n == c->source && k2 == key) {
                    m_errorSet = true;
                    m_errorNode = c->source;
                    m_reports.push_back(c->source);
                    return false;
                }
            }
            active->insert(active->begin(), {c->source, key});
            expandFully(result, c->source, depth + 2, active);
            active->erase(active->begin());
            text.replace(p, len, result);
            return true;
        }
    }
    return generic(text, p, len, name, node, depth, chain);
}

bool LiteralExpander::generic(std::string& text, std::size_t p, std::size_t len,
                              const std::string& name, const DesignNode* node, int depth,
                              Chain* chain) {
    const ValueList* found = node ? lookup(node, name) : nullptr;
    if (!found)
        found = m_definitions.globalValues(name.c_str());
    std::string with = found ? joined(*found) : name == "default" ? "" : "$(default)";
    if (!node) {
        std::string gathered;
        for (const DesignNode* n : m_generator.nodes()) {
            if (const ValueList* v = lookup(n, name)) {
                gathered += joined(*v);
                expandFully(gathered, n, depth + 2, chain);
            }
        }
        with += gathered;
    }
    text.replace(p, len, with);
    return true;
}

std::vector<std::string> LiteralExpander::render(const FileSequence& sequence) {
    std::vector<std::string> lines;
    for (const std::string& step : sequence.steps()) {
        if (const ValueList* g = m_definitions.globalValues(step.c_str())) {
            for (const DynString& v : *g) {
                std::string s = v.text() ? v.text() : "";
                expandFully(s, nullptr, 0, nullptr);
                lines.push_back(s);
            }
        }
        std::set<const BlockDefinition*> marked;
        for (const DesignNode* n : m_generator.nodes()) {
            if (marked.count(&n->definition()))
                continue;
            const ValueList* once = lookup(n, "-" + step);
            if (!once || once->count() == 0)
                continue;
            for (const DynString& v : *once) {
                std::string s = v.text() ? v.text() : "";
                expandFully(s, n, 0, nullptr);
                lines.push_back(s);
            }
            marked.insert(&n->definition());
        }
        for (const DesignNode* n : m_generator.nodes()) {
            if (const ValueList* values = lookup(n, step)) {
                for (const DynString& v : *values) {
                    std::string s = v.text() ? v.text() : "";
                    expandFully(s, n, 0, nullptr);
                    lines.push_back(s);
                }
            }
        }
    }
    return lines;
}
