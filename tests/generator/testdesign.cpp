#include "testdesign.h"

#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"

#include <gtest/gtest.h>

PortEnd TestBlock::inputSource(int port) const {
    if (port < 1 || std::size_t(port) > m_sources.size())
        return {};
    return m_sources[std::size_t(port - 1)];
}

void TestBlock::outputTargets(int port, std::vector<PortEnd>& targets) const {
    if (port < 1 || std::size_t(port) > m_targets.size())
        return;
    const auto& list = m_targets[std::size_t(port - 1)];
    targets.insert(targets.end(), list.begin(), list.end());
}

TestBlock& TestBlock::set(const std::string& name, const std::string& value) {
    ValueList* list = m_variables.find(name);
    if (!list) {
        auto created = std::make_unique<ValueList>();
        list = created.get();
        m_variables.insert(name.c_str(), std::move(created));
    }
    list->append(DynString(value.c_str()));
    return *this;
}

TestBlock& TestDesign::add(std::string type, double x, double y, int inputs, int outputs) {
    return m_blocks.emplace_back(std::move(type), x, y, inputs, outputs);
}

void TestDesign::wire(TestBlock& from, int output, TestBlock& to, int input) {
    to.m_sources[std::size_t(input - 1)] = PortEnd{&from, output};
    from.m_targets[std::size_t(output - 1)].push_back(PortEnd{&to, input});
}

std::vector<const BlockView*> TestDesign::views() const {
    std::vector<const BlockView*> out;
    for (const TestBlock& block : m_blocks)
        out.push_back(&block);
    return out;
}

std::unique_ptr<DefinitionSet> parseDefinitions(const std::string& text) {
    auto set = std::make_unique<DefinitionSet>();
    Tokenizer tokenizer(std::make_unique<MemoryCharSource>(text));
    const bool failed = set->read(tokenizer);
    EXPECT_FALSE(failed) << (tokenizer.errorText() ? tokenizer.errorText() : "");
    return set;
}

TestRun::TestRun(const DefinitionSet& d, const TestDesign& design)
    : defs(d), generator(d, &reporter) {
    EXPECT_EQ(generator.buildNodes(design.views()), nullptr);
    generator.orderNodes();
}

std::string TestRun::expand(std::string text, const BlockView* block, int depth) {
    const DesignNode* node = block ? generator.node(block) : nullptr;
    EXPECT_TRUE(!block || node);
    generator.expandFully(text, node, depth);
    return text;
}

std::vector<std::string> TestRun::render(std::size_t sequence) {
    LineCollector sink;
    generator.renderSequence(*defs.sequences().at(sequence), sink);
    return sink.lines;
}
