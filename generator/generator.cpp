// Building the nodes of a run, numbering them, and rendering file sequences.
#include "generator/generator.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/expansionframe.h"

#include <algorithm>
#include <cmath>
#include <limits>

CircularReporter::~CircularReporter() = default;
LineSink::~LineSink() = default;

Generator::Generator(const DefinitionSet& definitions, CircularReporter* reporter,
                     GenerationLimits limits)
    : m_definitions(definitions), m_reporter(reporter), m_limits(limits) {}

Generator::~Generator() = default;

const BlockView* Generator::buildNodes(const std::vector<const BlockView*>& views) {
    m_types.clear();
    m_nodes.clear();
    m_connections.clear();
    m_variables.clear();
    m_order.clear();

    // Pass one, the only walk over the blocks themselves: the type of every block (refusing
    // a type the definitions lack), its position, its variables and what feeds its inputs.
    std::vector<PortEnd> sources;
    std::vector<std::uint32_t> variablesEnd;
    m_nodes.reserve(views.size());
    m_variables.reserve(views.size());
    variablesEnd.reserve(views.size());
    sources.reserve(views.size());
    for (const BlockView* view : views) {
        if (!view)
            continue;
        const BlockDefinition* def = m_definitions.blocks().find(view->typeName());
        if (!def) {
            m_types.clear();
            m_nodes.clear();
            m_variables.clear();
            m_byView.build({});
            return view;
        }
        auto& type = m_types[def];
        if (!type)
            type = std::make_unique<NodeType>(*def);
        m_nodes.emplace_back(*view, *type, positionKey(*view));
        for (const auto& entry : view->variables())
            m_variables.emplace_back(entry.name, entry.payload);
        variablesEnd.push_back(std::uint32_t(m_variables.size()));
        for (int port = 1; port <= type->inputs.count(); ++port)
            sources.push_back(view->inputSource(port));
    }

    m_connections.resize(sources.size());
    m_order.reserve(m_nodes.size());
    const std::span<const NodeVariable> variables(m_variables);
    std::size_t slot = 0;
    std::uint32_t first = 0;
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        DesignNode& node = m_nodes[i];
        node.attach(variables.subspan(first, variablesEnd[i] - first), m_connections.data() + slot);
        first = variablesEnd[i];
        slot += std::size_t(node.type().inputs.count());
        m_order.push_back(&node);
    }
    m_byView.build(m_nodes);

    // Pass two: what feeds each input port, from what pass one read.
    slot = 0;
    for (DesignNode& node : m_nodes) {
        const BlockDefinition& def = node.definition();
        for (int port = 1; port <= def.inputCount(); ++port) {
            const PortEnd source = sources[slot++];
            DesignNode* from = source.block ? this->node(source.block) : nullptr;
            if (from)
                connect(node, def.input(port - 1), from,
                        from->definition().output(source.port - 1));
        }
    }
    return nullptr;
}

DesignNode* Generator::node(const BlockView* view) const {
    return m_byView.find(view);
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
        keyed.emplace_back(node->key(), node);
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
    if (const ValueList* own = node.variable(name))
        return own;
    return node.definition().sections().find(name);
}

std::size_t Generator::heldResolutions() const {
    return m_tree.live() - 1; // the root stays
}

bool Generator::emitLines(const ValueList& values, const DesignNode* node, std::string& line,
                          LineSink& sink) {
    for (const DynString& value : values) {
        line.assign(value.text() ? value.text() : "", value.length());
        expandFully(line, node, 0);
        if (m_stop != GenerationStop::None)
            return false;
        m_emitted += line.size() + 1;
        sink.line(line);
    }
    return true;
}

void Generator::renderSequence(const FileSequence& sequence, LineSink& sink) {
    std::string line;
    std::string onceName;
    for (const std::string& stepName : sequence.steps()) {
        const ValueList* global = m_definitions.globals().find(stepName);
        if (global && !emitLines(*global, nullptr, line, sink))
            return;

        // Once per type: through the first node whose value of "-" + step is not empty.
        onceName.assign(1, '-').append(stepName);
        for (auto& [def, type] : m_types) {
            type->marked = false;
            type->stepSection = def->sections().find(stepName);
            type->onceSection = def->sections().find(onceName);
        }
        for (const DesignNode* node : m_order) {
            NodeType& type = node->type();
            if (type.marked)
                continue;
            const ValueList* once = node->hasDashVariable() ? node->variable(onceName) : nullptr;
            if (!once)
                once = type.onceSection;
            if (!once || once->count() == 0)
                continue;
            if (!emitLines(*once, node, line, sink))
                return;
            type.marked = true;
        }

        for (const DesignNode* node : m_order) {
            const ValueList* values = node->variable(stepName);
            if (!values)
                values = node->type().stepSection;
            if (values && !emitLines(*values, node, line, sink))
                return;
        }
    }
}
