#pragma once

#include "definitions/definitionset.h"
#include "generator/generator.h"

#include <string>
#include <utility>
#include <vector>

// The expansion algorithms written out as plainly as they are described, with none of the
// generator's shortcuts (the scan always from the start, whole gathered texts expanded
// again, the chain as a list) and no cycle detection but the chain's. It gives up instead
// of running for ever. Used to check the generator's results on random designs.
class LiteralExpander {
public:
    // The nodes, their order and their numbers are taken from an ordered generator.
    LiteralExpander(const DefinitionSet& definitions, const Generator& generator);

    std::vector<std::string> render(const FileSequence& sequence);

    bool gaveUp() const { return m_gaveUp; }
    bool errorSet() const { return m_errorSet; }
    const DesignNode* errorNode() const { return m_errorNode; }
    const std::vector<const DesignNode*>& reports() const { return m_reports; }

private:
    using Chain = std::vector<std::pair<const DesignNode*, std::string>>;

    void expandFully(std::string& text, const DesignNode* node, int depth, Chain* chain);
    bool expandStep(std::string& text, const DesignNode* node, int depth, Chain* chain);
    bool generic(std::string& text, std::size_t pos, std::size_t len, const std::string& name,
                 const DesignNode* node, int depth, Chain* chain);
    const ValueList* lookup(const DesignNode* node, const std::string& name) const;

    const DefinitionSet& m_definitions;
    const Generator& m_generator;
    bool m_gaveUp = false;
    bool m_errorSet = false;
    const DesignNode* m_errorNode = nullptr;
    std::vector<const DesignNode*> m_reports;
    long m_steps = 0;
    int m_nesting = 0;
};
