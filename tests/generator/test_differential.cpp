#include "literalexpander.h"
#include "testdesign.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Pieces of template text: references of every kind, and the characters that make the scan
// interesting when they meet across values (open, close, escape, a lone dollar or parenthesis).
const char* const kFragments[] = {
    "x",       " ",       "$(",         ")",        ":",        "\\",     "$",
    "(",       "$(o)",    "$(p)",       "$(i)",     "$(j)",     "$(k)",   "$(m)",
    "$(q)",    "$(v)",    "$(w)",       "$(g)",     "$(num)",   "$(tab)", "$(u_id)",
    "$(b_id)", "$(bnum)", "$(default)", "$(o:v)",   "$(o:w)",   "$(i:v)", "$(k:q)",
    "$(j:o)",  "$(q:v)",  "\\$(v)",     "$(v$(w))", "$(tab:x)",
};
const char* const kKeys[] = {"o", "p", "q", "i",           "j",    "k",    "m",
                             "v", "w", "g", "o_delimiter", "body", "-body"};
const char* const kGlobalKeys[] = {"g", "v", "w", "default", "body", "o", "i"};

std::string randomText(std::mt19937& rng, int maxFragments) {
    std::uniform_int_distribution<int> count(0, maxFragments);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kFragments) - 1);
    std::string out;
    for (int n = count(rng); n > 0; --n)
        out += kFragments[pick(rng)];
    return out;
}

// A definition string literal holding exactly text.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string randomDefinitions(std::mt19937& rng) {
    std::bernoulli_distribution half(0.5);
    std::bernoulli_distribution third(0.33);
    std::string defs;
    const char* const types[] = {"block A ( o, p : i, j ) {\n collect o \"\"\n",
                                 "block B ( q : k ) {\n", "block C ( : m ) {\n"};
    for (const char* type : types) {
        defs += type;
        for (const char* key : kKeys) {
            if (!third(rng))
                continue;
            const int values = half(rng) ? 1 : 2;
            for (int i = 0; i < values; ++i)
                defs += std::string(" ") + key + " " + quoted(randomText(rng, 4)) + "\n";
        }
        defs += "}\n";
    }
    for (const char* key : kGlobalKeys)
        if (third(rng))
            defs += std::string(key) + " " + quoted(randomText(rng, 4)) + "\n";
    defs += "file \"\" body ;\n";
    return defs;
}

void randomDesign(std::mt19937& rng, TestDesign& design) {
    std::uniform_int_distribution<int> blocks(1, 6);
    std::uniform_int_distribution<int> type(0, 2);
    std::uniform_int_distribution<int> coordinate(0, 12);
    std::bernoulli_distribution often(0.6);
    std::bernoulli_distribution sometimes(0.25);
    const int n = blocks(rng);
    std::vector<TestBlock*> added;
    for (int b = 0; b < n; ++b) {
        const int t = type(rng);
        const char* name = t == 0 ? "A" : t == 1 ? "B" : "C";
        const int inputs = t == 0 ? 2 : 1;
        const int outputs = t == 0 ? 2 : t == 1 ? 1 : 0;
        TestBlock& block = design.add(name, coordinate(rng), coordinate(rng), inputs, outputs);
        if (sometimes(rng))
            block.set("v", randomText(rng, 3));
        if (sometimes(rng))
            block.set("w", randomText(rng, 3));
        added.push_back(&block);
    }
    for (TestBlock* to : added) {
        const int inputs = std::string(to->typeName()) == "A" ? 2 : 1;
        for (int port = 1; port <= inputs; ++port) {
            if (!often(rng))
                continue;
            std::vector<std::pair<TestBlock*, int>> outputs;
            for (TestBlock* from : added) {
                const std::string t = from->typeName();
                for (int k = 1; k <= (t == "A" ? 2 : t == "B" ? 1 : 0); ++k)
                    outputs.emplace_back(from, k);
            }
            if (outputs.empty())
                continue;
            std::uniform_int_distribution<std::size_t> pick(0, outputs.size() - 1);
            const auto [from, k] = outputs[pick(rng)];
            design.wire(*from, k, *to, port);
        }
    }
}

} // namespace

// The generator's shortcuts and its extra cycle detection must not change any result that
// the plain algorithm reaches: same lines, same circular reports, on thousands of designs.
TEST(Differential, GeneratorMatchesThePlainAlgorithm) {
    std::mt19937 rng(20240607);
    int compared = 0;
    int withError = 0;
    for (int round = 0; round < 2500; ++round) {
        const std::string text = randomDefinitions(rng);
        auto defs = parseDefinitions(text);
        TestDesign design;
        randomDesign(rng, design);

        TestRun run(*defs, design);
        const std::vector<std::string> lines = run.render();
        LiteralExpander literal(*defs, run.generator);
        const std::vector<std::string> expected = literal.render(*defs->sequences().at(0));
        if (literal.gaveUp()) {
            // Only a circle makes the plain algorithm run on, and the generator must see it.
            EXPECT_TRUE(run.generator.error().set) << "round " << round << "\n" << text;
            continue;
        }
        ++compared;
        withError += literal.errorSet() ? 1 : 0;
        ASSERT_EQ(lines, expected) << "round " << round << "\n" << text;
        std::vector<const BlockView*> reports;
        for (const DesignNode* n : literal.reports())
            reports.push_back(&n->item());
        ASSERT_EQ(run.reporter.reported, reports) << "round " << round << "\n" << text;
    }
    // The random designs must actually exercise both outcomes.
    EXPECT_GT(compared, 1400);
    EXPECT_GT(withError, 15);
}
