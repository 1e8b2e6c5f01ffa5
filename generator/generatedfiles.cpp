#include "generator/generatedfiles.h"

#include "definitions/definitionset.h"
#include "generator/blockview.h"
#include "generator/generator.h"

#include <QFile>
#include <QSaveFile>

#include <string>

namespace {

// Collects lines and hands them to the file in large pieces; the first failure sticks.
class FileLineSink : public LineSink {
public:
    explicit FileLineSink(QFileDevice& file) : m_file(file) { m_buffer.reserve(kChunk + 4096); }

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
    QFileDevice& m_file;
    std::string m_buffer;
    bool m_failed = false;
};

GenerateOutcome writeError(const QFileDevice& file) {
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
        // Written beside the target and renamed over it once complete: a run that is killed or
        // fails part way never leaves a truncated file that a build would take as up to date.
        QSaveFile file(generatedFileName(base, *sequence));
        // Unbuffered: the sink already writes in large pieces.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered))
            return writeError(file);
        FileLineSink sink(file);
        generator.renderSequence(*sequence, sink);
        const bool written = sink.flush();
        const bool stopped = generator.stopped() != GenerationStop::None;
        if (generator.error().set || stopped) {
            // The file in progress goes, and so does what an earlier run wrote there.
            file.cancelWriting();
            QFile::remove(file.fileName());
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
        // A failed write keeps the previous file.
        if (!written || !file.commit())
            return writeError(file);
    }
    return GenerateOutcome{};
}
