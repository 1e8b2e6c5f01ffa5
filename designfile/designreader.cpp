#include "designfile/designreader.h"

#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"
#include "definitions/toolboxentry.h"
#include "designfile/designrecordreader.h"
#include "shapes/shapeinterpreter.h"
#include "shapes/shapesink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

DesignReceiver::~DesignReceiver() = default;

namespace {

// Positions and wire points beyond this are clamped: the canvas and its scroll bars can take
// them, and the editor and draftel-gen then order the blocks alike.
constexpr double kCoordinateLimit = 1000000;

float usablePosition(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return float(std::clamp(double(value), -kCoordinateLimit, kCoordinateLimit));
}

std::int32_t usablePoint(std::int32_t value) {
    const auto limit = std::int32_t(kCoordinateLimit);
    return std::clamp(value, -limit, limit);
}

// The port numbers a block type's outline draws, by kind.
class PortTable : public ShapeSink {
public:
    void port(QPoint, QPoint, bool isInput, int number) override {
        (isInput ? m_inputs : m_outputs).insert(number);
    }
    bool has(std::uint32_t number, bool isInput) const {
        const auto& numbers = isInput ? m_inputs : m_outputs;
        return number >= 1 && number <= std::uint32_t(kShapeNumberLimit) &&
               numbers.count(int(number)) > 0;
    }

private:
    std::unordered_set<int> m_inputs;
    std::unordered_set<int> m_outputs;
};

class DesignWalk {
    Q_DECLARE_TR_FUNCTIONS(DesignReader)

public:
    DesignWalk(DesignRecordReader& reader, const QString& name, const QString& definitionsDirectory,
               DesignReceiver& receiver)
        : m_reader(reader), m_name(name), m_directory(definitionsDirectory), m_receiver(receiver) {}

    DesignVerdict run();

private:
    std::optional<DesignVerdict> settings(const SettingsRecord& record);
    std::optional<DesignVerdict> block(BlockRecord record);
    std::optional<DesignVerdict> wire(WireRecord record);
    DesignVerdict refused(const QString& message) const;
    DesignVerdict damaged(const QString& what) const;
    DesignVerdict definitionError(const QString& message) const;
    bool hasPort(ToolboxEntry& type, std::uint32_t number, bool isInput);

    struct Placed {
        ToolboxEntry* type;
        std::size_t index;
    };

    DesignRecordReader& m_reader;
    const QString m_name;
    const QString m_directory;
    DesignReceiver& m_receiver;
    bool m_hasSettings = false;
    QString m_definitionPath;
    std::unordered_map<std::uint32_t, Placed> m_blocks;
    std::unordered_set<std::uint64_t> m_fedInputs; // block index << 32 | input port
    std::unordered_map<const ToolboxEntry*, PortTable> m_portTables;
};

DesignVerdict DesignWalk::refused(const QString& message) const {
    return {DesignVerdict::Kind::Refused, message, false, {}};
}

DesignVerdict DesignWalk::definitionError(const QString& message) const {
    return {DesignVerdict::Kind::Refused, message, true, m_definitionPath};
}

// Before the settings record nothing can be shown, so damage there refuses the file.
DesignVerdict DesignWalk::damaged(const QString& what) const {
    return {m_hasSettings ? DesignVerdict::Kind::Damaged : DesignVerdict::Kind::Refused,
            tr("The design file %1 is damaged: %2.").arg(m_name, what),
            false,
            {}};
}

bool DesignWalk::hasPort(ToolboxEntry& type, std::uint32_t number, bool isInput) {
    if (isInput && number > type.inputNames().size()) {
        return false; // drawn, but with no input for a wire to feed
    }
    auto found = m_portTables.find(&type);
    if (found == m_portTables.end()) {
        found = m_portTables.emplace(&type, PortTable()).first;
        interpretShape(type.shape(), found->second);
    }
    return found->second.has(number, isInput);
}

std::optional<DesignVerdict> DesignWalk::settings(const SettingsRecord& record) {
    if (m_hasSettings) {
        return damaged(tr("it names its definition file a second time"));
    }
    const QString fileName = QString::fromLatin1(record.definitionFile);
    m_definitionPath = QDir(m_directory).filePath(fileName);
    // A name with a directory part could make the program read files anywhere.
    if (!isDefinitionFileName(fileName)) {
        return definitionError(definitionErrorMessage(m_definitionPath, "File open error"));
    }
    const QString error = m_receiver.loadDefinitions(m_definitionPath);
    if (!error.isEmpty()) {
        return definitionError(error);
    }
    m_hasSettings = true;
    m_receiver.settings(record);
    return std::nullopt;
}

std::optional<DesignVerdict> DesignWalk::block(BlockRecord record) {
    if (m_blocks.count(record.number)) {
        return damaged(tr("two blocks have the number %1").arg(record.number));
    }
    ToolboxEntry* type = m_receiver.blockType(record.type);
    if (!type) {
        return refused(tr("The design %1 holds a block of type \"%2\", which the definition "
                          "file %3 does not define.")
                           .arg(m_name, QString::fromLatin1(record.type), m_definitionPath));
    }
    std::unordered_set<std::string_view> names;
    for (const BlockVariable& variable : record.variables) {
        if (!names.insert(variable.name).second) {
            return damaged(tr("block %1 has two variables named \"%2\"")
                               .arg(record.number)
                               .arg(QString::fromLatin1(variable.name)));
        }
    }
    record.x = usablePosition(record.x);
    record.y = usablePosition(record.y);
    record.z = std::isfinite(record.z) ? record.z : 0.0f;
    m_blocks.emplace(record.number, Placed{type, m_blocks.size()});
    m_receiver.block(record, *type);
    return std::nullopt;
}

std::optional<DesignVerdict> DesignWalk::wire(WireRecord record) {
    const auto first = m_blocks.find(record.firstBlock);
    const auto second = m_blocks.find(record.secondBlock);
    if (first == m_blocks.end() || second == m_blocks.end()) {
        const std::uint32_t missing =
            first == m_blocks.end() ? record.firstBlock : record.secondBlock;
        return damaged(tr("a wire refers to block %1, which no block before it has").arg(missing));
    }
    const bool firstIsInput = record.firstEndIsInput();
    const Placed& input = firstIsInput ? first->second : second->second;
    const Placed& output = firstIsInput ? second->second : first->second;
    const std::uint32_t inputPort = firstIsInput ? record.firstPort : record.secondPort;
    const std::uint32_t outputPort = firstIsInput ? record.secondPort : record.firstPort;
    // A port the type does not have means the definition file changed since the design was
    // saved; dropping the wire would lose it on the next save.
    if (!hasPort(*input.type, inputPort, true)) {
        return refused(tr("The design %1 has a wire on input %2 of a block of type \"%3\", "
                          "which has no such input in the definition file %4.")
                           .arg(m_name)
                           .arg(inputPort)
                           .arg(QString::fromLatin1(input.type->name()), m_definitionPath));
    }
    if (!hasPort(*output.type, outputPort, false)) {
        return refused(tr("The design %1 has a wire on output %2 of a block of type \"%3\", "
                          "which has no such output in the definition file %4.")
                           .arg(m_name)
                           .arg(outputPort)
                           .arg(QString::fromLatin1(output.type->name()), m_definitionPath));
    }
    if (!m_fedInputs.insert(std::uint64_t(input.index) << 32 | inputPort).second) {
        const std::uint32_t inputBlock = firstIsInput ? record.firstBlock : record.secondBlock;
        return damaged(tr("two wires end at input %1 of block %2").arg(inputPort).arg(inputBlock));
    }
    for (WirePoint& point : record.points) {
        point = {usablePoint(point.x), usablePoint(point.y)};
    }
    m_receiver.wire(record, first->second.index, second->second.index);
    return std::nullopt;
}

DesignVerdict DesignWalk::run() {
    using Item = DesignRecordReader::Item;
    const Item first = m_reader.next();
    if (first == Item::EndOfFile && !m_reader.openError().isEmpty()) {
        return refused(
            tr("The design file %1 cannot be read: %2.").arg(m_name, m_reader.openError()));
    }
    if (first != Item::Header || m_reader.header().name != HeaderRecord().name) {
        return refused(tr("The file %1 is not a design.").arg(m_name));
    }
    for (;;) {
        std::optional<DesignVerdict> ended;
        const Item item = m_reader.next();
        if ((item == Item::Block || item == Item::Wire) && !m_hasSettings) {
            return refused(tr("The design %1 does not name its definition file.").arg(m_name));
        }
        switch (item) {
        case Item::Header: // only ever the first record
        case Item::UnknownTag:
            break;
        case Item::Settings:
            ended = settings(m_reader.settings());
            break;
        case Item::Block:
            ended = block(m_reader.takeBlock());
            break;
        case Item::Wire:
            ended = wire(m_reader.takeWire());
            break;
        case Item::Truncated:
            return damaged(tr("it ends in the middle of a record"));
        case Item::Damaged:
            return damaged(tr("a record is too short for its contents"));
        case Item::EndOfFile:
            if (!m_hasSettings) {
                return refused(tr("The design %1 does not name its definition file.").arg(m_name));
            }
            return {};
        }
        if (ended) {
            return *ended;
        }
    }
}

} // namespace

DesignVerdict readDesign(const QString& path, const QString& definitionsDirectory,
                         DesignReceiver& receiver) {
    DesignRecordReader reader(path);
    return DesignWalk(reader, QFileInfo(path).fileName(), definitionsDirectory, receiver).run();
}

DesignVerdict readDesign(QIODevice& device, const QString& name,
                         const QString& definitionsDirectory, DesignReceiver& receiver) {
    DesignRecordReader reader(device);
    return DesignWalk(reader, name, definitionsDirectory, receiver).run();
}
