#include "generator/generatedfiles.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/generator.h"

#include <QFile>

#include <string>

namespace {

// Collects lines and hands them to the file in large pieces; the first failure sticks.
class FileLineSink : public LineSink {
public:
    explicit FileLineSink(QFile& file) : m_file(file) { m_buffer.reserve(kChunk + 4096); }

    void line(std::string_view text) override {
        m_buffer.append(text);
        m_buffer.push_back('\n');
        if (m_buffer.size() >= kChunk)
            flush();
    }

    bool flush() {
        if (!m_failed && !m_buffer.empty())
            m_failed =
                m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size());
        m_buffer.clear();
        return !m_failed;
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    QFile& m_file;
    std::string m_buffer;
    bool m_failed = false;
};

GenerateOutcome writeError(QFile& file) {
    GenerateOutcome outcome;
    outcome.status = GenerateOutcome::Status::WriteError;
    outcome.fileName = file.fileName();
    outcome.reason = file.errorString();
    return outcome;
}

} // namespace

QString generatedFileName(const QString& base, const FileSequence& sequence) {
    // The sequence's name is bytes of the definition file: keep them as the file system's.
    return base + QFile::decodeName(sequence.fileName());
}

QString generationStoppedMessage(GenerationStop stop, const GenerationLimits& limits) {
    if (stop == GenerationStop::OutputSize)
        return QStringLiteral("Generation stopped: the output would exceed %1 MB.")
            .arg(limits.outputBytes >> 20);
    return QStringLiteral("Generation stopped: the expansion would take more than %1 million "
                          "steps.")
        .arg(limits.steps / 1000000);
}

GenerateOutcome writeGeneratedFiles(const DefinitionSet& definitions,
                                    const std::vector<const BlockView*>& blocks,
                                    const QString& base, CircularReporter& reporter,
                                    GenerationLimits limits) {
    Generator generator(definitions, &reporter, limits);
    if (const BlockView* unknown = generator.buildNodes(blocks)) {
        GenerateOutcome outcome;
        outcome.status = GenerateOutcome::Status::UnknownType;
        outcome.block = unknown;
        outcome.reason = QString::fromLatin1(unknown->typeName());
        return outcome;
    }
    generator.orderNodes();

    for (const auto& sequence : definitions.sequences()) {
        QFile file(generatedFileName(base, *sequence));
        // Unbuffered: the sink already writes in large pieces.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text |
                       QIODevice::Unbuffered))
            return writeError(file);
        FileLineSink sink(file);
        generator.renderSequence(*sequence, sink);
        const bool written = sink.flush();
        const bool stopped = generator.stopped() != GenerationStop::None;
        if (generator.error().set || stopped) {
            file.close();
            file.remove();
            GenerateOutcome outcome;
            if (stopped) {
                outcome.status = GenerateOutcome::Status::Stopped;
                outcome.stop = generator.stopped();
            } else {
                outcome.status = GenerateOutcome::Status::Circular;
                outcome.block = generator.error().node ? &generator.error().node->item() : nullptr;
            }
            outcome.fileName = file.fileName();
            return outcome;
        }
        if (!written) {
            GenerateOutcome outcome = writeError(file);
            file.close();
            file.remove(); // incomplete
            return outcome;
        }
        file.close();
        if (file.error() != QFileDevice::NoError)
            return writeError(file);
    }
    return GenerateOutcome{};
}
