// Fuzzes template expansion: a definition text and a small design built from the bytes after
// it, expanded by the generator and by the plain expander of the tests.
//
// Input: the definition text, a zero byte, then the design: the number of blocks, each
// block's type, position and own variables, then what feeds each input. Whenever the plain
// expander gets to its end, the generator must write the same lines and report the same
// circles in the same order; a finite expansion is never a circle. Always: the generator ends,
// within its (here small) bounds, holding no resolution once a line is done.
#include "definitions/definitionset.h"
#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"
#include "literalexpander.h"
#include "testdesign.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// The design bytes, read one at a time; 0 once they run out.
struct Bytes {
    const std::uint8_t* at;
    const std::uint8_t* end;
    unsigned next() { return at < end ? *at++ : 0; }
};

const char* const kFragments[] = {"x", " ",      "$(",     ")",       ":",          "\\",  "$",
                                  "(", "$(num)", "$(tab)", "$(u_id)", "$(default)", "\\$("};

// A variable's value: fragments, some of them references to names of the definitions.
std::string value(Bytes& bytes, const std::vector<std::string>& names) {
    std::string out;
    for (unsigned n = bytes.next() % 5; n > 0; --n) {
        const unsigned pick = bytes.next();
        if (pick % 2 == 0 && !names.empty())
            out += "$(" + names[(pick / 2) % names.size()] + ")";
        else
            out += kFragments[(pick / 2) % std::size(kFragments)];
    }
    return out;
}

void build(Bytes& bytes, const DefinitionSet& defs, TestDesign& design) {
    std::vector<const BlockDefinition*> types;
    std::vector<std::string> names;
    for (const auto entry : defs.blocks()) {
        types.push_back(entry.payload);
        for (const auto section : entry.payload->sections())
            names.push_back(section.name);
        for (int i = 0; i < entry.payload->inputCount(); ++i)
            names.push_back(entry.payload->input(i));
        for (int i = 0; i < entry.payload->outputCount(); ++i)
            names.push_back(entry.payload->output(i));
    }
    for (const auto global : defs.globals())
        names.push_back(global.name);
    if (types.empty())
        return;

    std::vector<TestBlock*> blocks;
    std::vector<const BlockDefinition*> blockTypes;
    for (unsigned n = 1 + bytes.next() % 6; n > 0; --n) {
        const BlockDefinition* type = types[bytes.next() % types.size()];
        TestBlock& block = design.add(type->name(), bytes.next() % 16, bytes.next() % 16,
                                      type->inputCount(), type->outputCount());
        for (unsigned v = bytes.next() % 3; v > 0 && !names.empty(); --v) {
            const std::string& name = names[bytes.next() % names.size()];
            block.set(name, value(bytes, names));
        }
        blocks.push_back(&block);
        blockTypes.push_back(type);
    }
    std::vector<std::pair<TestBlock*, int>> outputs;
    for (std::size_t b = 0; b < blocks.size(); ++b)
        for (int k = 1; k <= blockTypes[b]->outputCount(); ++k)
            outputs.emplace_back(blocks[b], k);
    for (std::size_t b = 0; b < blocks.size() && !outputs.empty(); ++b) {
        for (int port = 1; port <= blockTypes[b]->inputCount(); ++port) {
            if (bytes.next() % 3 == 0)
                continue;
            const auto [from, k] = outputs[bytes.next() % outputs.size()];
            design.wire(*from, k, *blocks[b], port);
        }
    }
}

struct Recorder : CircularReporter {
    void circularDefinition(const BlockView* block) override { reported.push_back(block); }
    std::vector<const BlockView*> reported;
};

struct Lines : LineSink {
    explicit Lines(const Generator& generator) : generator(generator) {}
    void line(std::string_view text) override {
        check(generator.heldResolutions() == 0);
        lines.emplace_back(text);
    }
    const Generator& generator;
    std::vector<std::string> lines;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::uint8_t* end = data + size;
    const std::string text(reinterpret_cast<const char*>(data),
                           std::size_t((zero ? zero : end) - data));
    DefinitionSet defs;
    Tokenizer tokenizer(std::make_unique<MemoryCharSource>(text));
    if (defs.read(tokenizer))
        return 0;
    Bytes bytes{zero ? zero + 1 : end, end};
    TestDesign design;
    build(bytes, defs, design);

    Recorder reporter;
    Generator generator(defs, &reporter, GenerationLimits{1 << 20, 300000});
    if (generator.buildNodes(design.views()))
        return 0;
    generator.orderNodes();
    LiteralExpander literal(defs, generator);

    // As the files are written: none after the one in which a circle was found.
    std::vector<std::string> lines;
    std::vector<std::string> expected;
    for (const auto& sequence : defs.sequences()) {
        Lines sink(generator);
        generator.renderSequence(*sequence, sink);
        lines.insert(lines.end(), sink.lines.begin(), sink.lines.end());
        const std::vector<std::string> plain = literal.render(*sequence);
        expected.insert(expected.end(), plain.begin(), plain.end());
        if (generator.error().set || literal.errorSet() || literal.gaveUp() ||
            generator.stopped() != GenerationStop::None)
            break;
    }
    check(generator.heldResolutions() == 0);
    if (literal.gaveUp() || generator.stopped() != GenerationStop::None)
        return 0;
    check(lines == expected);
    std::vector<const BlockView*> reports;
    for (const DesignNode* node : literal.reports())
        reports.push_back(&node->item());
    check(reporter.reported == reports);
    return 0;
}
