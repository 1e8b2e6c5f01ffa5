#pragma once

#include "definitions/namelist.h"
#include "definitions/valuelist.h"

#include <vector>

class BlockView;

// One end of a wire: a block and a port number counted from 1.
struct PortEnd {
    const BlockView* block = nullptr;
    int port = 0;
};

// What the generator reads of a placed block. The editor's canvas items and the
// command-line generator's plain design records both provide it.
class BlockView {
public:
    virtual ~BlockView();

    virtual const char* typeName() const = 0; // the block type's name
    virtual double x() const = 0;             // canvas position
    virtual double y() const = 0;
    virtual const NameList<ValueList>& variables() const = 0; // the block's own variables

    // The block and output port feeding input port k (from 1), or {nullptr, 0} when unwired.
    virtual PortEnd inputSource(int inputPort) const = 0;
    // Appends, once per wire and in the block's wire-attachment order, the block and input
    // port at the far end of every wire leaving output port k (from 1).
    virtual void outputTargets(int outputPort, std::vector<PortEnd>& targets) const = 0;
};
