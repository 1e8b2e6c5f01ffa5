#pragma once

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/generator.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// A placed block for tests: a type name, a position, own variables and wires.
class TestBlock : public BlockView {
public:
    TestBlock(std::string type, double x, double y, int inputs = 0, int outputs = 0)
        : m_type(std::move(type)), m_x(x), m_y(y), m_sources(std::size_t(inputs)),
          m_targets(std::size_t(outputs)) {}

    const char* typeName() const override { return m_type.c_str(); }
    double x() const override { return m_x; }
    double y() const override { return m_y; }
    const NameList<ValueList>& variables() const override { return m_variables; }
    PortEnd inputSource(int port) const override;
    void outputTargets(int port, std::vector<PortEnd>& targets) const override;

    // Appends one value to the variable (creating it).
    TestBlock& set(const std::string& name, const std::string& value);

private:
    friend class TestDesign;
    std::string m_type;
    double m_x;
    double m_y;
    NameList<ValueList> m_variables;
    std::vector<PortEnd> m_sources;
    std::vector<std::vector<PortEnd>> m_targets;
};

// Blocks in creation order, with wires between their ports (counted from 1).
class TestDesign {
public:
    TestBlock& add(std::string type, double x, double y, int inputs = 0, int outputs = 0);
    void wire(TestBlock& from, int output, TestBlock& to, int input);
    std::vector<const BlockView*> views() const;

private:
    std::deque<TestBlock> m_blocks;
};

// Parses a definition text; a parse error fails the current test.
std::unique_ptr<DefinitionSet> parseDefinitions(const std::string& text);

struct LineCollector : LineSink {
    void line(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

struct RecordingReporter : CircularReporter {
    void circularDefinition(const BlockView* block) override { reported.push_back(block); }
    std::vector<const BlockView*> reported;
};

// A run over a design: nodes built and ordered.
struct TestRun {
    TestRun(const DefinitionSet& defs, const TestDesign& design);
    // Fully expands text in the context of a block (null: the file level) at depth 0.
    std::string expand(std::string text, const BlockView* block = nullptr, int depth = 0);
    // The lines of the definitions' sequence at that position.
    std::vector<std::string> render(std::size_t sequence = 0);

    const DefinitionSet& defs;
    RecordingReporter reporter;
    Generator generator;
};
