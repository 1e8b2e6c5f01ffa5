#pragma once

#include "generator/designnode.h"
#include "generator/expansionchain.h"
#include "generator/viewindex.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class BlockView;
class DefinitionSet;
class FileSequence;
class ValueList;
struct Reference;

// Told of every circular definition when it is found (the same run may find several).
class CircularReporter {
public:
    virtual ~CircularReporter();
    // block: the block in whose context the circle was found; null at the file level.
    virtual void circularDefinition(const BlockView* block) = 0;
};

// Receives the lines of a rendered file sequence, in order.
class LineSink {
public:
    virtual ~LineSink();
    virtual void line(std::string_view text) = 0;
};

// Set once a circular definition has been found; stays set for the rest of the run.
struct ErrorIndicator {
    bool set = false;
    const DesignNode* node = nullptr; // null when found at the file level
};

// The template expander of one generation run: the nodes of a design, their numbering,
// and the expansion of the definition file's texts over them.
class Generator {
public:
    explicit Generator(const DefinitionSet& definitions, CircularReporter* reporter = nullptr);
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;
    ~Generator();

    // One node per view, then the connections read from each view's input ports. Returns
    // the first view whose type the definitions lack, and builds nothing, or null.
    const BlockView* buildNodes(const std::vector<const BlockView*>& views);

    // Sorts the nodes by the position of their blocks and numbers them.
    void orderNodes();

    // Replaces the next reference of text; false when there was none to replace or a
    // circular definition was found. node null: the file level.
    bool expandStep(std::string& text, const DesignNode* node, int depth, ExpansionChain* chain);
    // Steps until nothing changes or an error is set; always ends.
    void expandFully(std::string& text, const DesignNode* node, int depth, ExpansionChain* chain);

    // Hands the lines of one file sequence to the sink.
    void renderSequence(const FileSequence& sequence, LineSink& sink);

    const std::vector<DesignNode*>& nodes() const { return m_order; }
    DesignNode* node(const BlockView* view) const;
    const ErrorIndicator& error() const { return m_error; }

    // The own variable of that name, else the section of the node's type; null for neither.
    static const ValueList* lookup(const DesignNode& node, std::string_view name);
    // The sort key of a block: x + y.
    static double positionKey(const BlockView& view);

    // Bounds that keep every expansion finite. A text produced by resolving a reference is
    // one generation younger than the youngest text of that reference; definitions that
    // refer to themselves in a circle make generations grow without end, definitions that
    // do not stay far below the bound.
    static constexpr int kMaxGeneration = 100;
    static constexpr int kMaxNesting = 1000;
    // Resource guards against expansions that would end, but only after absurd amounts.
    static constexpr std::size_t kMaxSteps = 10000000;
    static constexpr std::size_t kMaxInserted = std::size_t(256) << 20;

private:
    // One expandFully in progress.
    struct Loop {
        std::size_t from = 0;    // no reference starts before this
        std::size_t runBase = 0; // its runs are m_runs[runBase...]
        int generation = 0;      // of the text replacing the current reference
        std::size_t steps = 0;
        std::size_t inserted = 0; // bytes put in by generic resolution
    };
    // From start to the next run's start (or the end), the text has this generation.
    struct Run {
        std::size_t start;
        int generation;
    };
    // A gathering along a wire under way: expanding content in node's context.
    struct Gathering {
        const DesignNode* node;
        std::string content;
        int chainSize;
    };
    enum class Resolution { Replaced, NotFound, Stopped };

    bool step(std::string& text, const DesignNode* node, int depth, ExpansionChain* chain,
              Loop& loop);
    bool gatherOutput(std::string& text, const Reference& ref, const DesignNode& node, int output,
                      int depth, ExpansionChain* chain, Loop& loop);
    Resolution resolveConnection(std::string& text, const Reference& ref,
                                 const InputConnection& connection, int depth,
                                 ExpansionChain* chain, Loop& loop);
    bool resolveGeneric(std::string& text, const Reference& ref, const DesignNode* node, int depth,
                        ExpansionChain* chain, Loop& loop);
    void gatherFileLevel(std::string_view name, int depth, ExpansionChain* chain,
                         std::string& gathered);
    void expandNested(std::string& text, const DesignNode* node, int depth, ExpansionChain* chain);
    int generationOf(const Reference& ref, const Loop& loop) const;
    void replace(std::string& text, const Reference& ref, std::string_view with, Loop& loop);
    void reportCircular(const DesignNode* node);

    const DefinitionSet& m_definitions;
    CircularReporter* m_reporter;
    std::unordered_map<const BlockDefinition*, std::unique_ptr<NodeType>> m_types;
    std::vector<DesignNode> m_nodes; // in view order; never reallocated once built
    std::vector<InputConnection> m_connections;
    std::vector<NodeVariable> m_variables;
    std::vector<DesignNode*> m_order;
    ViewIndex m_byView;
    ErrorIndicator m_error;

    ExpansionChain m_chain; // the chain of a resolution started without one
    std::vector<Run> m_runs;
    std::vector<Gathering> m_gatherings;
    int m_nesting = 0;
};
