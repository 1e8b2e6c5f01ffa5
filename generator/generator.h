#pragma once

#include "generator/blockview.h"
#include "generator/designnode.h"
#include "generator/expansiontext.h"
#include "generator/referencescan.h"
#include "generator/resolutiontree.h"
#include "generator/viewindex.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class BlockView;
class DefinitionSet;
class FileSequence;
class ValueList;

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

// Bounds that stop a run which would exhaust the machine. No useful definition comes near
// them; one that does is not circular, only too large, and is told so.
struct GenerationLimits {
    std::size_t outputBytes = std::size_t(256) << 20; // what the run's files would hold
    // Expansion steps of the whole run; copying or moving 64 bytes of text counts as one.
    std::uint64_t steps = 50'000'000;
};

// Why a run stopped before its end.
enum class GenerationStop { None, OutputSize, Steps };

struct ExpansionFrame;

// The template expander of one generation run: the nodes of a design, their numbering,
// and the expansion of the definition file's texts over them.
class Generator {
public:
    explicit Generator(const DefinitionSet& definitions, CircularReporter* reporter = nullptr,
                       GenerationLimits limits = {});
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;
    ~Generator();

    // One node per view, then the connections read from each view's input ports. Returns
    // the first view whose type the definitions lack, and builds nothing, or null.
    const BlockView* buildNodes(const std::vector<const BlockView*>& views);

    // Sorts the nodes by the position of their blocks and numbers them.
    void orderNodes();

    // Replaces reference after reference until none is left, a circular definition is found
    // or a bound stops the run. node null: the file level.
    void expandFully(std::string& text, const DesignNode* node, int depth);

    // Hands the lines of one file sequence to the sink; nothing more once the run is stopped.
    void renderSequence(const FileSequence& sequence, LineSink& sink);

    const std::vector<DesignNode*>& nodes() const { return m_order; }
    DesignNode* node(const BlockView* view) const;
    const ErrorIndicator& error() const { return m_error; }
    GenerationStop stopped() const { return m_stop; }
    // Resolutions still held once an expansion has ended: none, unless one leaked.
    std::size_t heldResolutions() const;

    // The own variable of that name, else the section of the node's type; null for neither.
    static const ValueList* lookup(const DesignNode& node, std::string_view name);
    // The sort key of a block: x + y.
    static double positionKey(const BlockView& view);

private:
    using Label = ResolutionTree::Id;
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>()(s);
        }
    };

    // The machine behind expandFully: every expansion, nested ones too, is a frame on an
    // explicit stack, so that depth costs memory, not call stack.
    void run(std::size_t base);
    // Expands each value in node's context and hands it on as a line; false once stopped.
    bool emitLines(const ValueList& values, const DesignNode* node, std::string& line,
                   LineSink& sink);
    ExpansionFrame& pushFrame(const DesignNode* node, int depth);
    void finishFrame();
    void step(ExpansionFrame& frame);
    void afterStep(ExpansionFrame& frame, bool changed);
    void resume(ExpansionFrame& frame);
    void replaceReference(ExpansionFrame& frame, const Reference& ref, std::string_view with,
                          Label label);
    void waitFor(ExpansionFrame& frame, const Reference& ref, Label label, bool mayStream);
    void putResult(ExpansionFrame& frame);
    bool startGathering(ExpansionFrame& frame, const Reference& ref, Label at, int output);
    void nextPiece(ExpansionFrame& frame);
    void resolveGeneric(ExpansionFrame& frame, const Reference& ref, Label at);
    void nextGatheredNode(ExpansionFrame& frame);
    bool overBounds() { return m_stop != GenerationStop::None || checkBounds(); }
    bool checkBounds();
    void unwind(std::size_t base);
    std::uint64_t pairOf(const DesignNode* node, std::string_view name);
    void reportCircular(const DesignNode* node);

    const DefinitionSet& m_definitions;
    CircularReporter* m_reporter;
    GenerationLimits m_limits;
    std::unordered_map<const BlockDefinition*, std::unique_ptr<NodeType>> m_types;
    std::vector<DesignNode> m_nodes; // in view order; never reallocated once built
    std::vector<InputConnection> m_connections;
    std::vector<NodeVariable> m_variables;
    std::vector<DesignNode*> m_order;
    ViewIndex m_byView;
    ErrorIndicator m_error;
    GenerationStop m_stop = GenerationStop::None;

    ResolutionTree m_tree;
    TextUsage m_usage;
    std::vector<std::unique_ptr<ExpansionFrame>> m_frames; // [0, m_top) in use, the rest kept
    std::size_t m_top = 0;
    std::string m_out;         // the finished text of every frame, outermost first
    std::size_t m_emitted = 0; // bytes of the lines handed out this run
    std::uint64_t m_steps = 0;
    std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> m_names;
    // Room for one step's passing text and wire ends, kept from step to step.
    std::string m_scratch;
    std::vector<PortEnd> m_ends;
};
