// The helpers that check as they go, apart from the blocks, which the fuzz target shares.
#include "testdesign.h"

#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"

#include <gtest/gtest.h>

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
