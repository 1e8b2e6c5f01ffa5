// Building the nodes of a run, numbering them, and rendering file sequences.
#include "generator/generator.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"

#include <algorithm>
#include <cmath>
#include <limits>

CircularReporter::~CircularReporter() = default;
LineSink::~LineSink() = default;

Generator::Generator(const DefinitionSet& definitions, CircularReporter* reporter)
    : m_definitions(definitions), m_reporter(reporter) {}

Generator::~Generator() = default;

const BlockView* Generator::buildNodes(const std::vector<const BlockView*>& views) {
    m_types.clear();
    m_nodes.clear();
    m_connections.clear();
    m_order.clear();
    m_byView.clear();

    // Pass one: the type of every block, refusing a type the definitions lack.
    std::vector<NodeType*> typeOf;
    typeOf.reserve(views.size());
    std::size_t inputs = 0;
    for (const BlockView* view : views) {
        if (!view)
            continue;
        const BlockDefinition* def = m_definitions.blocks().find(view->typeName());
        if (!def) {
            m_types.clear();
            return view;
        }
        auto& type = m_types[def];
        if (!type)
            type = std::make_unique<NodeType>(*def);
        typeOf.push_back(type.get());
        inputs += std::size_t(type->inputs.count());
    }

    m_connections.resize(inputs);
    m_nodes.reserve(typeOf.size());
    m_order.reserve(typeOf.size());
    m_byView.reserve(typeOf.size());
    std::size_t slot = 0;
    std::size_t i = 0;
    for (const BlockView* view : views) {
        if (!view)
            continue;
        NodeType& type = *typeOf[i++];
        const auto count = std::size_t(type.inputs.count());
        m_nodes.emplace_back(*view, type, std::span(m_connections).subspan(slot, count));
        slot += count;
        m_order.push_back(&m_nodes.back());
        m_byView.emplace(view, &m_nodes.back());
    }

    // Pass two: what feeds each input port.
    for (DesignNode& node : m_nodes) {
        const BlockDefinition& def = node.definition();
        for (int port = 1; port <= def.inputCount(); ++port) {
            const PortEnd source = node.item().inputSource(port);
            DesignNode* from = source.block ? this->node(source.block) : nullptr;
            if (!from)
                continue;
            connect(node, def.input(port - 1), from, from->definition().output(source.port - 1));
        }
    }
    return nullptr;
}

DesignNode* Generator::node(const BlockView* view) const {
    auto it = m_byView.find(view);
    return it == m_byView.end() ? nullptr : it->second;
}

// Blocks nearer the top-left corner come first. Sorting by the exact sum is one of the
// orders that comparing truncated differences allows, and unlike that comparison it is a
// strict weak ordering, which the sort needs.
double Generator::positionKey(const BlockView& view) {
    const double key = view.x() + view.y();
    return std::isnan(key) ? std::numeric_limits<double>::infinity() : key;
}

void Generator::orderNodes() {
    std::vector<std::pair<double, DesignNode*>> keyed;
    keyed.reserve(m_order.size());
    for (DesignNode* node : m_order)
        keyed.emplace_back(positionKey(node->item()), node);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    for (auto& [def, type] : m_types)
        type->count = 0;
    int serial = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        DesignNode* node = keyed[i].second;
        m_order[i] = node;
        node->setSerials(++serial, ++node->type().count);
    }
}

const ValueList* Generator::lookup(const DesignNode& node, std::string_view name) {
    if (const ValueList* own = node.item().variables().find(name))
        return own;
    return node.definition().sections().find(name);
}

namespace {

void expandAndEmit(Generator& generator, const ValueList& values, const DesignNode* node,
                   std::string& line, LineSink& sink) {
    for (const DynString& value : values) {
        line.assign(value.text() ? value.text() : "", value.length());
        generator.expandFully(line, node, 0, nullptr);
        sink.line(line);
    }
}

} // namespace

void Generator::renderSequence(const FileSequence& sequence, LineSink& sink) {
    std::string line;
    std::string onceName;
    for (const std::string& stepName : sequence.steps()) {
        if (const ValueList* global = m_definitions.globals().find(stepName))
            expandAndEmit(*this, *global, nullptr, line, sink);

        // Once per type: through the first node whose value of "-" + step is not empty.
        for (auto& [def, type] : m_types)
            type->marked = false;
        onceName.assign("-").append(stepName);
        for (const DesignNode* node : m_order) {
            if (node->type().marked)
                continue;
            const ValueList* once = lookup(*node, onceName);
            if (!once || once->count() == 0)
                continue;
            expandAndEmit(*this, *once, node, line, sink);
            node->type().marked = true;
        }

        for (const DesignNode* node : m_order)
            if (const ValueList* values = lookup(*node, stepName))
                expandAndEmit(*this, *values, node, line, sink);
    }
}
