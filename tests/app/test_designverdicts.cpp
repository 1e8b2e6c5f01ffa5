// Damaged and mismatched designs through every front end: the design reader itself, draftel-gen
// (exit status and message), and the editor's Open command, command line and start-up question
// (message shown, window closed or kept). One rule decides each case, so they must all agree.
#include "app/mainui.h"
#include "app/startup.h"
#include "app/windowlist.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"
#include "definitions/toolboxentry.h"
#include "designbytes.h"
#include "designfile/designfile.h"
#include "designfile/designreader.h"
#include "preferences/preferences.h"
#include "scriptedinteraction.h"
#include "testenvironment.h"

#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace {
using Kind = DesignVerdict::Kind;

const char* const flowDefinitions = R"def(
block Source ( out : ) { edit name "src" edit level "1" body "source $(level)" }
block Filter ( out : in, aux ) { edit gain "2" body "filter $(gain)" }
block Sink ( : in ) { body "sink" }
file ".txt" body ;
)def";
// The block types the design file corpus of the fuzz target names.
const char* const logicDefinitions = R"def(
block AND ( q, r : a, b ) { body "and" }
block OUT ( : in ) { body "out" }
file ".txt" body ;
)def";

// Three blocks at positions with fractions, a wire with bends, a wire from a block to itself.
DesignRecords goodDesign() {
    DesignRecords d;
    d.settings = SettingsRecord{"flow.def", "out.txt", 40, 40, 600, 400};
    d.blocks = {{0, "Source", 10.5f, 20.75f, 1, {{"name", "Input"}}},
                {1, "Filter", 200.25f, 40, 2, {{"gain", "7"}}},
                {2, "Sink", 420, 300.5f, 3, {}}};
    const std::uint8_t inputFirst = WireRecord::FirstEndIsInput;
    d.wires = {{1, 1, 0, 1, inputFirst, {{190, 45}, {100, 45}, {100, 30}, {60, 30}}},
               {2, 1, 1, 1, inputFirst, {{410, 320}, {260, 60}}},
               {1, 2, 1, 1, inputFirst | WireRecord::StartsHorizontally, {{190, 55}, {270, 55}}}};
    return d;
}

const QByteArray header = recordBytes(HeaderRecord{});

QByteArray bytesOf(const DesignRecords& d) {
    QByteArray out = header;
    if (d.settings) {
        out += recordBytes(*d.settings);
    }
    for (const BlockRecord& b : d.blocks) {
        out += recordBytes(b);
    }
    for (const WireRecord& w : d.wires) {
        out += recordBytes(w);
    }
    return out;
}

struct Row {
    const char* name;
    QByteArray bytes;
    Kind kind;
    QStringList messageNames = {}; // what the message must mention
    int blocks = 0;                // handed over, for designs that open
    int wires = 0;
    QString definitions = {}; // the definitions directory; the test's own when empty
};

// What the reader hands over, with the definitions loaded as every front end loads them.
class HandedOver : public DesignReceiver {
public:
    QString loadDefinitions(const QString& path) override {
        const QString error = readDefinitionFile(path, definitions);
        if (error.isEmpty()) {
            types = makeCatalogue(definitions);
        }
        return error;
    }
    ToolboxEntry* blockType(const std::string& name) override {
        for (const auto& type : types) {
            if (type->name() == name) {
                return type.get();
            }
        }
        return nullptr;
    }
    void settings(const SettingsRecord&) override {}
    void block(const BlockRecord& record, ToolboxEntry& type) override {
        blocks.push_back({type.name(), record.x, record.y});
    }
    void wire(const WireRecord&, std::size_t first, std::size_t second) override {
        QVERIFY(first < blocks.size() && second < blocks.size());
        ++wires;
    }

    struct Block {
        std::string type;
        float x;
        float y;
        bool operator==(const Block&) const = default;
    };
    DefinitionSet definitions;
    std::vector<std::unique_ptr<ToolboxEntry>> types;
    std::vector<Block> blocks;
    int wires = 0;
};

int wiresOn(const CanvasHandler* editor) {
    int wires = 0;
    for (const BlockItem* block : editor->canvas()->blocks()) {
        for (int port = 1; port <= int(block->entry()->inputNames().size()); ++port) {
            wires += block->inputWire(port) ? 1 : 0;
        }
    }
    return wires;
}

void processDeletions() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void closeAllWindows() {
    qDeleteAll(QList<MainUI*>(openWindows()));
    processDeletions();
}
} // namespace

class TestDesignVerdicts : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch;
    std::vector<Row> rows;

    QString path(const QString& name) const { return scratch.filePath(name); }

    static void write(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
    }

    void addRows() {
        const DesignRecords good = goodDesign();
        const QByteArray goodBytes = bytesOf(good);
        const QByteArray settings = recordBytes(*good.settings);
        QByteArray blocks;
        for (const BlockRecord& b : good.blocks) {
            blocks += recordBytes(b);
        }
        QByteArray wires;
        for (const WireRecord& w : good.wires) {
            wires += recordBytes(w);
        }
        const auto changed = [&](auto change) {
            DesignRecords d = good;
            change(d);
            return bytesOf(d);
        };
        const QString flow = path("defs/flow.def");
        const QByteArray block = recordBytes(good.blocks[0]);
        const QByteArray anyBytes = [] {
            QRandomGenerator random(14);
            QByteArray bytes(700, '\0');
            for (char& c : bytes) {
                c = char(random.bounded(256));
            }
            return bytes;
        }();

        rows = {
            {"sound, with fractional positions", goodBytes, Kind::Fine, {}, 3, 3},
            {"records of unknown kinds",
             header + settings + recordOf(QByteArray("A\0\0", 3)) + blocks + recordOf("\xFF") +
                 wires,
             Kind::Fine,
             {},
             3,
             3},
            {"bytes after a record's fields",
             header + settings + recordOf(block.mid(4) + "\xAB\xCD") + blocks.mid(block.size()) +
                 wires,
             Kind::Fine,
             {},
             3,
             3},
            {"positions that are no number or huge",
             changed([](DesignRecords& d) {
                 d.blocks[0].x = std::numeric_limits<float>::quiet_NaN();
                 d.blocks[1].y = 1e30f;
                 d.blocks[2].z = std::numeric_limits<float>::infinity();
             }),
             Kind::Fine,
             {},
             3,
             3},

            {"an empty file", "", Kind::Refused, {"is not a design"}},
            {"a cut-off header", goodBytes.left(7), Kind::Refused, {"is not a design"}},
            {"random bytes", anyBytes, Kind::Refused, {"is not a design"}},
            {"a text file", flowDefinitions, Kind::Refused, {"is not a design"}},
            {"a header of another kind",
             recordOf(QByteArray("Desigx\0\0\0\0\1", 11)) + settings,
             Kind::Refused,
             {"is not a design"}},
            {"a header alone", header, Kind::Refused, {"does not name its definition file"}},
            {"blocks before the settings",
             header + blocks + settings,
             Kind::Refused,
             {"does not name its definition file"}},
            {"damage before the settings",
             header + recordOf(hexBytes("70 6100 6200 00000000")),
             Kind::Refused,
             {"is damaged"}},

            {"a definition file that is missing",
             changed([](DesignRecords& d) { d.settings->definitionFile = "gone.def"; }),
             Kind::Refused,
             {path("defs/gone.def"), "File open error"}},
            {"a definition file outside the directory",
             changed([](DesignRecords& d) { d.settings->definitionFile = "../flow.def"; }),
             Kind::Refused,
             {"File open error"}},
            {"a definition file that does not parse",
             changed([](DesignRecords& d) { d.settings->definitionFile = "broken.def"; }),
             Kind::Refused,
             {path("defs/broken.def"), "Line: 2"}},
            {"a block type the definition file lacks",
             changed([](DesignRecords& d) { d.blocks[1].type = "Mixer"; }),
             Kind::Refused,
             {"design.des", "\"Mixer\"", flow}},
            {"a wire on an input the type lacks",
             changed([](DesignRecords& d) { d.wires[1].firstPort = 7; }),
             Kind::Refused,
             {"input 7", "\"Sink\"", flow}},
            {"a wire on input 0",
             changed([](DesignRecords& d) { d.wires[1].firstPort = 0; }),
             Kind::Refused,
             {"input 0"}},
            {"a wire on an output the type lacks",
             changed([](DesignRecords& d) { d.wires[0].secondPort = 2; }),
             Kind::Refused,
             {"output 2", "\"Source\""}},

            {"two settings records",
             header + settings + settings + blocks + wires,
             Kind::Damaged,
             {"design.des", "a second time"}},
            {"cut off inside the last record",
             goodBytes.chopped(3),
             Kind::Damaged,
             {"ends in the middle of a record"},
             3,
             2},
            {"cut off inside a length",
             goodBytes + hexBytes("0000"),
             Kind::Damaged,
             {"ends in the middle"},
             3,
             3},
            {"a length far past the end",
             goodBytes + hexBytes("FFFFFFFF 6F000000"),
             Kind::Damaged,
             {"ends in the middle"},
             3,
             3},
            {"a record without a tag",
             header + settings + recordOf("") + blocks,
             Kind::Damaged,
             {"too short"}},
            {"a block record too short for its fields",
             header + settings + block + recordOf(block.mid(4, 10)) + blocks,
             Kind::Damaged,
             {"too short"},
             1},
            {"a variable value without its zero byte",
             header + settings + block + recordOf(block.mid(4).chopped(1)) + block,
             Kind::Damaged,
             {"too short"},
             1},
            {"four billion variables",
             header + settings +
                 recordOf(hexBytes("6F 00000009 536F7572636500 00000000 00000000 00000000 "
                                   "FFFFFFFF 00 00")),
             Kind::Damaged,
             {"too short"}},
            {"four billion segments",
             header + settings + blocks +
                 recordOf(hexBytes("63 00000001 00000001 00000000 00000001 02 FFFFFFFF "
                                   "00000000 00000000")),
             Kind::Damaged,
             {"too short"},
             3},
            {"three segments, two points",
             header + settings + blocks +
                 recordOf(hexBytes("63 00000001 00000001 00000000 00000001 02 00000003 "
                                   "00000000 00000000 00000001 00000001")),
             Kind::Damaged,
             {"too short"},
             3},
            {"two blocks with one number",
             changed([](DesignRecords& d) { d.blocks[2].number = 1; }),
             Kind::Damaged,
             {"two blocks have the number 1"},
             2},
            {"two variables of one name",
             changed([](DesignRecords& d) {
                 d.blocks[1].variables.push_back({"gain", "8"});
             }),
             Kind::Damaged,
             {"block 1 has two variables named \"gain\""},
             1},
            {"a wire before its blocks",
             header + settings + wires + blocks,
             Kind::Damaged,
             {"a wire refers to block 1"}},
            {"two wires into one input",
             changed([](DesignRecords& d) { d.wires.push_back(d.wires[0]); }),
             Kind::Damaged,
             {"two wires end at input 1 of block 1"},
             3,
             3},
        };

        // The examples and the fuzz target's seeds, each with its own definition files.
        const QDir examples(DRAFTEL_SOURCE_DIR "/examples");
        for (const QString& name : examples.entryList({"*.des"}, QDir::Files)) {
            QFile file(examples.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const DesignRecords records = readDesignFile(examples.filePath(name));
            rows.push_back({"an example",
                            file.readAll(),
                            Kind::Fine,
                            {},
                            int(records.blocks.size()),
                            int(records.wires.size()),
                            DRAFTEL_SOURCE_DIR "/defs"});
        }
        const QDir corpus(DRAFTEL_SOURCE_DIR "/fuzz/corpus_designfile");
        const std::vector<std::tuple<const char*, Kind, QString, int, int>> seeds = {
            {"empty-design.des", Kind::Fine, "", 0, 0},
            {"small.des", Kind::Damaged, "two wires end at input 1 of block 1", 2, 1},
            {"truncated.des", Kind::Damaged, "ends in the middle", 0, 0},
            {"long-value.des", Kind::Refused, "does not name its definition file", 0, 0},
            {"unknown-tag.des", Kind::Refused, "does not name its definition file", 0, 0},
            {"short-block.des", Kind::Refused, "is damaged", 0, 0},
        };
        QCOMPARE(corpus.entryList({"*.des"}).size(), qsizetype(seeds.size()));
        for (const auto& [name, kind, part, blockCount, wireCount] : seeds) {
            QFile file(corpus.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            rows.push_back({name, file.readAll(), kind, {part}, blockCount, wireCount});
        }
    }

    // The reader's own verdict, with what it handed over.
    DesignVerdict readWithReceiver(const QString& file, HandedOver& handed) const {
        return readDesign(file, preferences().definitionsDirectory, handed);
    }

    static QStringList asked(const ScriptedInteraction& script) { return script.kinds(); }

    // What the editor showed for a verdict: the message box's kind, caption and text.
    static void checkShown(const ScriptedInteraction::Asked& shown, const DesignVerdict& verdict) {
        if (verdict.damaged()) {
            QCOMPARE(shown.kind, QString("warning"));
            QCOMPARE(shown.caption, QString("Damaged design"));
            QVERIFY2(shown.text.startsWith(verdict.message + '\n'), qPrintable(shown.text));
            QVERIFY(shown.text.contains("saving it over the original loses the rest"));
        } else {
            QCOMPARE(shown.kind, QString("critical"));
            QCOMPARE(shown.caption, verdict.definitionError ? QString("Definition error")
                                                            : QString("Design error"));
            QCOMPARE(shown.text, verdict.message);
        }
        QVERIFY(shown.hadParent);
    }

private slots:
    void initTestCase() {
        QDir(scratch.path()).mkpath("defs");
        QDir(scratch.path()).mkpath("generated");
        write(path("defs/flow.def"), flowDefinitions);
        write(path("flow.def"), flowDefinitions); // what "../flow.def" would read
        write(path("defs/logic.def"), logicDefinitions);
        write(path("defs/broken.def"), "block A ( o : ) { }\nblock {\n");
        addRows();
    }
    void init() {
        preferences() = Preferences();
        preferences().definitionsDirectory = path("defs");
    }
    void cleanup() { closeAllWindows(); }

    void frontEndsAgree_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            QTest::newRow(qPrintable(QString("%1 %2").arg(i).arg(rows[i].name))) << int(i);
        }
    }

    void frontEndsAgree() {
        QFETCH(int, index);
        const Row& row = rows[std::size_t(index)];
        if (!row.definitions.isEmpty()) {
            preferences().definitionsDirectory = row.definitions;
        }
        const QString design = path("design.des");
        write(design, row.bytes);
        const QString absolute = QFileInfo(design).absoluteFilePath();
        const bool opens = row.kind != Kind::Refused;

        // The reader: the verdict, its message, what it handed over.
        HandedOver handed;
        const DesignVerdict verdict = readWithReceiver(design, handed);
        QCOMPARE(int(verdict.kind), int(row.kind));
        QCOMPARE(verdict.message.isEmpty(), row.kind == Kind::Fine);
        for (const QString& part : row.messageNames) {
            QVERIFY2(verdict.message.contains(part), qPrintable(verdict.message));
        }
        if (opens) {
            QCOMPARE(int(handed.blocks.size()), row.blocks);
            QCOMPARE(handed.wires, row.wires);
            // Positions stay as stored, fractions too; only those that are no number or out of
            // the canvas's range are replaced.
            const std::vector<BlockRecord> stored = readDesignFile(design).blocks;
            for (std::size_t i = 0; i < handed.blocks.size(); ++i) {
                for (auto [was, is] : {std::pair{stored[i].x, handed.blocks[i].x},
                                       std::pair{stored[i].y, handed.blocks[i].y}}) {
                    if (std::isfinite(was) && std::fabs(was) <= 1e6) {
                        QCOMPARE(is, was);
                    } else {
                        QVERIFY(std::isfinite(is) && std::fabs(is) <= 1e6);
                    }
                }
            }
        }

        // draftel-gen generates only from a sound design, and says why not with the same text.
        const QString base = path(QString("generated/row%1-").arg(index));
        QProcess generator;
        generator.start(DRAFTEL_GEN,
                        {"--defs", preferences().definitionsDirectory, "--output", base, design});
        QVERIFY(generator.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(generator.readAllStandardError());
        const QStringList generated =
            QDir(path("generated")).entryList({QString("row%1-*").arg(index)}, QDir::Files);
        if (row.kind == Kind::Fine) {
            QCOMPARE(generator.exitCode(), 0);
            QVERIFY(!generated.isEmpty());
        } else {
            QCOMPARE(generator.exitCode(), 2);
            if (verdict.definitionError) {
                // The definition file's own error, in the form that editors jump to.
                QVERIFY2(errors.startsWith(verdict.definitionPath + ":"), qPrintable(errors));
                const QString message = errors.section(": error: ", 1).trimmed();
                QVERIFY2(!message.isEmpty() && verdict.message.contains(message),
                         qPrintable(errors));
            } else {
                QCOMPARE(errors, design + ": error: " + verdict.message + '\n');
            }
            QVERIFY(generated.isEmpty());
        }

        // File > Open: a window that keeps what was read, or a message and no window.
        {
            ScriptedInteraction script;
            script.fileAnswers = {design};
            MainUI().openView();
            processDeletions();
            MainUI* window = findWindow(absolute);
            QCOMPARE(window != nullptr, opens);
            QCOMPARE(script.asked.size(), std::size_t(row.kind == Kind::Fine ? 1 : 2));
            if (row.kind != Kind::Fine) {
                checkShown(script.asked.back(), verdict);
            }
            if (window) {
                CanvasHandler* editor = window->canvasHandler();
                QCOMPARE(editor->canvas()->blockCount(), row.blocks);
                QCOMPARE(wiresOn(editor), row.wires);
                QCOMPARE(window->windowTitle(), QString("Design design.des"));
                // What was read is what the editor saves: types and positions as handed over.
                QVERIFY(editor->saveDesign(path("saved.des"), window->geometry()));
                std::vector<HandedOver::Block> saved;
                for (const BlockRecord& b : readDesignFile(path("saved.des")).blocks) {
                    saved.push_back({b.type, b.x, b.y});
                }
                QVERIFY(saved == handed.blocks);
            }
            QCOMPARE(script.unexpected, 0);
        }
        closeAllWindows();

        // The command line at start-up: a refused design leaves no window and asks what to do.
        {
            ScriptedInteraction script;
            script.questionAnswers = {2};
            const StartupOutcome outcome = runStartup({design});
            processDeletions();
            QCOMPARE(outcome.runEventLoop, opens);
            QCOMPARE(openWindows().size(), qsizetype(opens ? 1 : 0));
            const QStringList expected = row.kind == Kind::Fine ? QStringList{}
                                         : row.kind == Kind::Damaged
                                             ? QStringList{"warning"}
                                             : QStringList{"critical", "question"};
            QCOMPARE(asked(script), expected);
            if (row.kind != Kind::Fine) {
                checkShown(script.asked.front(), verdict);
            }
            QCOMPARE(script.unexpected, 0);
        }
        closeAllWindows();

        // "&Open" in the start-up question: a failure is counted, the preferences come next.
        {
            ScriptedInteraction script;
            script.questionAnswers = {1};
            script.fileAnswers = {design};
            script.dialogAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
            const StartupOutcome outcome = runStartup({});
            processDeletions();
            QCOMPARE(outcome.runEventLoop, opens);
            QCOMPARE(outcome.exitStatus, opens ? 0 : -1);
            QCOMPARE(openWindows().size(), qsizetype(opens ? 1 : 0));
            QStringList expected = {"question", "open"};
            if (row.kind != Kind::Fine) {
                expected << (opens ? "warning" : "critical");
                checkShown(script.asked[2], verdict);
            }
            if (!opens) {
                expected << "dialog";
            }
            QCOMPARE(asked(script), expected);
        }
    }

    // A sound design cut after every byte: before the settings record nothing can be shown;
    // after it, a cut at a record's end is a smaller sound design, any other cut is damage that
    // keeps the whole records before it. The reader and the editor agree on every cut.
    void cutsAtEveryByte() {
        const DesignRecords good = goodDesign();
        const QByteArray bytes = bytesOf(good);
        std::vector<int> ends; // where each record ends
        for (int at = 0; at + 4 <= bytes.size();) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
            at += 4 + int(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]);
            ends.push_back(at);
        }
        QCOMPARE(ends.size(), std::size_t(8));
        QCOMPARE(ends.back(), int(bytes.size()));

        for (int cut = 0; cut <= bytes.size(); ++cut) {
            const int whole =
                int(std::count_if(ends.begin(), ends.end(), [cut](int end) { return end <= cut; }));
            const bool atEnd = std::find(ends.begin(), ends.end(), cut) != ends.end();
            const Kind kind = whole < 2 ? Kind::Refused : atEnd ? Kind::Fine : Kind::Damaged;
            const int blocks = std::clamp(whole - 2, 0, 3);
            const int wires = std::clamp(whole - 5, 0, 3);
            write(path("cut.des"), bytes.left(cut));

            HandedOver handed;
            const DesignVerdict verdict = readWithReceiver(path("cut.des"), handed);
            QCOMPARE(int(verdict.kind), int(kind));
            QCOMPARE(int(handed.blocks.size()), kind == Kind::Refused ? 0 : blocks);
            QCOMPARE(handed.wires, kind == Kind::Refused ? 0 : wires);

            ScriptedInteraction script;
            auto* window = new MainUI;
            const QPointer<MainUI> alive = window;
            QCOMPARE(window->openDesign(path("cut.des")), kind == Kind::Refused ? -1 : 0);
            processDeletions();
            QCOMPARE(alive.isNull(), kind == Kind::Refused);
            QCOMPARE(script.asked.size(), std::size_t(kind == Kind::Fine ? 0 : 1));
            if (alive) {
                QCOMPARE(alive->canvasHandler()->canvas()->blockCount(), blocks);
                QCOMPARE(wiresOn(alive->canvasHandler()), wires);
                delete alive;
            }
        }
    }
};

DRAFTEL_TEST_MAIN(TestDesignVerdicts)
#include "test_designverdicts.moc"
