#pragma once

#include <QString>

#include <vector>

class BlockView;
class CircularReporter;
class DefinitionSet;
class FileSequence;

// How writing the generated files of a design ended.
struct GenerateOutcome {
    enum class Status {
        Success,
        Circular,    // block: where the circle was found (null at the file level);
                     // fileName: the file in progress, deleted
        WriteError,  // fileName and reason (the system's message); no further file written
        UnknownType, // block: a block whose type the definitions lack; nothing written
    };
    Status status = Status::Success;
    const BlockView* block = nullptr;
    QString fileName;
    QString reason;

    bool ok() const { return status == Status::Success; }
};

// base followed by the sequence's file name, with nothing between.
QString generatedFileName(const QString& base, const FileSequence& sequence);

// Numbers the blocks and writes one file per file sequence, each line followed by "\n".
// A circular definition deletes the file in progress and writes no further file; every
// detection is told to the reporter as it happens.
GenerateOutcome writeGeneratedFiles(const DefinitionSet& definitions,
                                    const std::vector<const BlockView*>& blocks,
                                    const QString& base, CircularReporter& reporter);
