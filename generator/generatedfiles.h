#pragma once

#include "generator/generator.h"

#include <QString>

#include <vector>

class BlockView;
class DefinitionSet;
class FileSequence;

// How writing the generated files of a design ended.
struct GenerateOutcome {
    enum class Status {
        Success,
        Circular,    // block: where the circle was found (null at the file level);
                     // fileName: the file in progress, deleted
        Stopped,     // stop: the bound reached; fileName: the file in progress, deleted
        WriteError,  // fileName and reason (the system's message); no further file written
        UnknownType, // block: a block whose type the definitions lack; nothing written
    };
    Status status = Status::Success;
    const BlockView* block = nullptr;
    GenerationStop stop = GenerationStop::None;
    QString fileName;
    QString reason;

    bool ok() const { return status == Status::Success; }
};

// base followed by the sequence's file name, with nothing between.
QString generatedFileName(const QString& base, const FileSequence& sequence);

// Numbers the blocks and writes one file per file sequence, each line followed by "\n".
// A circular definition or a bound deletes the file in progress and writes no further file;
// every circle is told to the reporter as it is found.
GenerateOutcome writeGeneratedFiles(const DefinitionSet& definitions,
                                    const std::vector<const BlockView*>& blocks,
                                    const QString& base, CircularReporter& reporter,
                                    GenerationLimits limits = {});

// "Generation stopped: " and the bound that stopped a run, in English.
QString generationStoppedMessage(GenerationStop stop, const GenerationLimits& limits = {});
