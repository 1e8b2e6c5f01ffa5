// Random editing sequences through the real editor window, with mouse and key events. After every
// operation the design must be whole: every input holds at most one wire and every wire sits in
// the slots of its ports, finished wires end on their ports, at most 20 undo records remain and
// none of them holds an item that is gone, a changed design is marked modified, saving,
// reloading and saving again gives the same bytes, draftel-gen's reading of the saved file
// generates what the editor generates, and Undo gives back the design of before the operations
// it takes back. A failure is shortened to the operations that still make it fail.
//
// DRAFTEL_EDITING_MINUTES=N runs fresh seeds for N minutes; DRAFTEL_EDITING_SEED=S runs one seed.
#include "app/mainui.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/undorecords.h"
#include "canvas/wireitem.h"
#include "definitions/toolboxentry.h"
#include "editingsession.h"
#include "preferences/preferences.h"
#include "testenvironment.h"

#include <chrono>
#include <cstdio>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define DRAFTEL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DRAFTEL_ASAN 1
#endif
#endif
#ifdef DRAFTEL_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// Pasteable into the table of known faults: {{Drop, 1, 200, 40}, ...}
QString describe(const std::vector<Op>& ops) {
    QStringList items;
    for (const Op& op : ops) {
        QList<int> numbers{op.n, op.x, op.y, op.dx, op.dy, op.flags};
        while (!numbers.isEmpty() && numbers.last() == 0) {
            numbers.removeLast();
        }
        QString text = QString("{") + kindNames[op.kind];
        for (int number : numbers) {
            text += ", " + QString::number(number);
        }
        items << text + "}";
    }
    return "{" + items.join(", ") + "}";
}

const char* const definitionFiles[] = {"signal_chain.def", "state_machine.def",
                                       "guide_expressions.def"};
std::vector<Op> randomOps(std::mt19937& rng, int count) {
    std::discrete_distribution<int> kinds{20, 20, 5, 4, 1, 2, 8, 5, 5, 3,
                                          4,  2,  1, 3, 5, 2, 4, 1, 1};
    const auto uniform = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    // Points gather near the canvas edges, where clamping and growth happen.
    const auto coordinate = [&](int size) {
        const int where = uniform(0, 3);
        return where == 0   ? uniform(-20, 25)
               : where == 1 ? uniform(size - 30, size + 20)
                            : uniform(0, size);
    };
    const auto offset = [&] {
        return uniform(0, 9) == 0 ? uniform(-700, 700) : uniform(-150, 150);
    };
    std::vector<Op> ops;
    while (int(ops.size()) < count) {
        Op op{Kind(kinds(rng)),
              uniform(0, 999),
              coordinate(700),
              coordinate(500),
              offset(),
              offset(),
              uniform(0, 7) == 0 ? Shift : 0};
        if (op.kind == PressPort || op.kind == Click) {
            op.x = op.kind == PressPort ? uniform(0, 4) : op.x;
            op.dx = op.kind == PressPort ? uniform(-2, 2) : 0;
            op.dy = op.kind == PressPort ? uniform(-2, 2) : 0;
            op.flags |= std::array<int, 5>{0, 0, 0, Middle, Right}[std::size_t(uniform(0, 4))];
        } else if (op.kind == ClickWire || op.kind == EditVars) {
            op.x = uniform(0, 9);
            op.y = uniform(0, int(std::size(typedValues)) - 1);
            op.dx = uniform(0, 2);
            op.dy = 0;
            op.flags = op.kind == EditVars && uniform(0, 2) == 0 ? Right : 0;
        }
        ops.push_back(op);
        // Undo after an operation, or after several, must give back the design of before them.
        const int chance = uniform(0, 99);
        for (int undos = chance < 10   ? uniform(1, 2)
                         : chance < 13 ? uniform(3, 8)
                                       : 0;
             undos > 0; --undos) {
            ops.push_back({Undo});
        }
    }
    ops.resize(std::size_t(count));
    return ops;
}

QList<QPoint> stubEnds(const BlockItem* block, int number, bool isInput) {
    QList<QPoint> ends;
    for (const PortItem& port : block->ports()) {
        if (port.number == number && port.isInput == isInput) {
            ends << (block->pos() + port.stub->line().p2()).toPoint();
        }
    }
    return ends;
}

// The structure of the design in the editor; empty when whole.
QString structureFault(const CanvasHandler& editor, const ScriptedInteraction& script) {
    const std::vector<BlockItem*> blocks = editor.canvas()->blocks();
    QSet<const void*> live(blocks.begin(), blocks.end());
    for (BlockItem* block : blocks) {
        if (block->isSelected() != editor.selection().contains(block)) {
            return "selection: a block's selected flag and the selection list disagree";
        }
        for (int port = 1; port <= int(block->entry()->inputNames().size()); ++port) {
            const WireItem* wire = block->inputWire(port);
            if (wire && (wire->inputEnd().block != block || wire->inputEnd().port != port)) {
                return "slots: an input slot holds a wire that does not end there";
            }
        }
    }
    for (const WireItem* wire : allWires(editor)) {
        live.insert(wire);
        const WireEnd first = wire->firstEnd();
        const WireEnd second = wire->secondEnd();
        if (!first.block || !live.contains(first.block) ||
            (second.block ? !live.contains(second.block) : wire != editor.wireInProgress())) {
            return "ends: a wire hangs at a block that is gone or has no second end";
        }
        for (const WireEnd& end : {first, second}) {
            if (end.block && end.isInput && end.block->inputWire(end.port) != wire) {
                return "slots: a wire ends at an input whose slot holds another wire";
            }
        }
        for (int i = 0; i < wire->segmentCount(); ++i) {
            const QLine segment = wire->segment(i);
            if (segment.p1().x() != segment.p2().x() && segment.p1().y() != segment.p2().y()) {
                return "geometry: a wire has a slanted segment";
            }
            if (i > 0 && segment.p1() != wire->segment(i - 1).p2()) {
                return "geometry: a wire's segments do not join";
            }
        }
        const QList<QPoint> points = wire->points();
        if (!stubEnds(first.block, first.port, first.isInput).contains(points.first()) ||
            (second.block &&
             !stubEnds(second.block, second.port, second.isInput).contains(points.last()))) {
            return "ports: a wire does not end on its port";
        }
        if (wire == editor.selectedWire() && !wire->isSelected()) {
            return "handles: the selected wire hides its bend handles";
        }
        for (int k = 0; k < wire->handleCount(); ++k) {
            if (wire->handleCount() != wire->segmentCount() - 1 ||
                wire->handleRect(k).center() != wire->segment(k + 1).p1()) {
                return "handles: a bend handle is not on its bend";
            }
        }
    }
    if (editor.undoStack().size() > 20) {
        return "undo: more than 20 records";
    }
    for (const UndoRecord* record : editor.undoStack()) {
        RecordReferences references;
        record->references(references);
        for (const void* item : references.items) {
            if (!live.contains(item)) {
                return "undo: a record holds an item that is gone";
            }
        }
    }
    return script.unexpected == 0 ? QString() : "dialogs: an unexpected question was asked";
}

struct Failure {
    int index = -1; // of the operation after which a check failed
    QString what;
};

// For the sanitizers' report, which ends the process: the sequence that was running.
struct Running {
    std::uint32_t seed = 0;
    QString definitionFile;
    std::vector<Op> ops;
} running;

// The timed run outlasts QtTest's limit of five minutes for a test function, which is read as
// the tests start.
const bool timedRunAllowed = [] {
    if (const int minutes = qEnvironmentVariableIntValue("DRAFTEL_EDITING_MINUTES"); minutes > 0) {
        qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number((minutes + 10) * 60 * 1000));
    }
    return true;
}();

long operationsRun = 0;
long undoChecks = 0;

Failure runSequence(const QString& definitionFile, const std::vector<Op>& ops,
                    const QString& scratch) {
    running.definitionFile = definitionFile;
    running.ops.clear();
    EditingSession session(definitionFile, scratch);
    DesignState before;
    if (QString fault = session.started() ? session.capture(before) : "start: no window";
        !fault.isEmpty()) {
        return {0, fault};
    }
    // The design before each recorded operation that Undo can still take back, with the number
    // of records the operation made; the newest last.
    struct Step {
        DesignState before;
        std::size_t records;
    };
    std::vector<Step> history;
    for (int i = 0; i < int(ops.size()); ++i) {
        const Op& op = ops[std::size_t(i)];
        running.ops.push_back(op);
        ++operationsRun;
        const std::vector<UndoRecord*> stackBefore = session.editor().undoStack();
        QString fault = session.perform(op);
        if (fault.isEmpty()) {
            fault = session.started() ? structureFault(session.editor(), session.script())
                                      : "reopen: no window";
        }
        const bool modified = fault.isEmpty() && session.editor().isModified();
        DesignState now;
        if (fault.isEmpty()) {
            fault = session.capture(now);
        }
        if (fault.isEmpty() && now.design != before.design && !modified && op.kind != SaveReopen) {
            fault = "modified: the design changed, yet closing would not offer to save it";
        }
        if (fault.isEmpty() && op.kind == SaveReopen && !(now == before)) {
            fault = "reopen: the reopened design differs from the saved one";
        }
        if (!fault.isEmpty()) {
            return {i, fault};
        }
        const std::vector<UndoRecord*>& stack = session.editor().undoStack();
        if (op.kind == Undo) {
            if (stack.size() < stackBefore.size() && !history.empty() &&
                --history.back().records == 0) {
                ++undoChecks;
                if (!(now == history.back().before)) {
                    return {i, "undo: Undo did not give back the design of before the operation"};
                }
                history.pop_back();
            }
        } else if (op.kind == SaveReopen) {
            history.clear();
        } else {
            // The records it made: those above the newest one before it.
            const auto top = stackBefore.empty()
                                 ? stack.end()
                                 : std::find(stack.begin(), stack.end(), stackBefore.front());
            const std::size_t made = std::size_t(top - stack.begin());
            if (made > 0 && (op.kind == DeleteKey || op.kind == Cut) && now == before) {
                return {i, "undo: a deletion that removed nothing made a record"};
            }
            if (made > 0) {
                history.push_back({before, made});
            } else if (now.design != before.design) {
                history.clear(); // arrow keys move blocks without a record
            }
            // The oldest steps lose their records to the limit of the stack.
            std::size_t records = 0;
            for (const Step& step : history) {
                records += step.records;
            }
            while (records > stack.size()) {
                records -= history.front().records;
                history.erase(history.begin());
            }
        }
        before = now;
    }
    return {};
}

QString kindOf(const Failure& failure) {
    return failure.what.section(':', 0, 0);
}

// Drops operations, in halves, then quarters, down to single ones, while the sequence still fails
// in the same way.
std::vector<Op> shorten(const QString& definitionFile, std::vector<Op> ops, const Failure& failure,
                        const QString& scratch) {
    ops.resize(std::size_t(failure.index + 1));
    for (std::size_t chunk = ops.size() / 2; chunk >= 1; chunk /= 2) {
        for (std::size_t start = 0; start + chunk <= ops.size();) {
            std::vector<Op> shorter = ops;
            shorter.erase(shorter.begin() + std::ptrdiff_t(start),
                          shorter.begin() + std::ptrdiff_t(start + chunk));
            const Failure again = runSequence(definitionFile, shorter, scratch);
            if (again.index >= 0 && kindOf(again) == kindOf(failure)) {
                shorter.resize(std::size_t(again.index + 1));
                ops = shorter;
            } else {
                start += chunk;
            }
        }
    }
    return ops;
}

[[maybe_unused]] void reportRunningSequence() {
    std::fprintf(stderr, "\nThe editing sequence of seed %u on %s that was running:\n%s\n",
                 running.seed, qPrintable(running.definitionFile),
                 qPrintable(describe(running.ops)));
}

// A sequence that showed a fault of the editor, now fixed.
struct KnownFault {
    const char* what;
    const char* definitionFile;
    std::vector<Op> ops;
};

} // namespace

class TestEditingSequences : public QObject {
    Q_OBJECT
private:
    // A memory file system keeps thousands of saves, each synced to disk, fast.
    QTemporaryDir scratch{QDir("/dev/shm").exists() ? "/dev/shm/draftel-editing-XXXXXX"
                                                    : QDir::tempPath() + "/draftel-editing-XXXXXX"};

    // Runs the sequence that the seed makes; false after reporting its failure.
    bool runSeed(std::uint32_t seed, int length) {
        std::mt19937 rng(seed);
        const QString definitionFile = definitionFiles[rng() % std::size(definitionFiles)];
        const std::vector<Op> ops = randomOps(rng, length);
        running.seed = seed;
        const Failure failure = runSequence(definitionFile, ops, scratch.path());
        if (failure.index < 0) {
            return true;
        }
        const QString message =
            QString("seed %1 on %2, after operation %3: %4\nshortened: %5")
                .arg(seed)
                .arg(definitionFile)
                .arg(failure.index)
                .arg(failure.what)
                .arg(describe(shorten(definitionFile, ops, failure, scratch.path())));
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY(scratch.isValid());
        preferences().definitionsDirectory = definitionsDirectory();
        qApp->setQuitOnLastWindowClosed(false);
#ifdef DRAFTEL_ASAN
        __sanitizer_set_death_callback(reportRunningSequence);
#endif
    }

    void knownFaults() {
        // signal_chain.def's toolbox type 2 (Delay) has port 0 as input and port 1 as output:
        // with blocks of it only, port 2k is block k's input and 2k + 1 its output.
        std::vector<Op> twentyRecords(20, Op{Drop, 2, 300, 300});
        twentyRecords.push_back({EditVars, 0, 0, 0, 0, 0, Right});
        const std::vector<KnownFault> faults = {
            {"a bend record of the wire being drawn outlived it",
             "signal_chain.def",
             {{Drop, 2, 200, 200},
              {PressPort, 1},
              {DragBlock},
              {MoveMouse, 0, 400, 400},
              {DragHandle, 0, 0, 0, 20, 20},
              {Escape},
              {Undo}}},
            {"Undo while drawing gave back a wire to the input the new wire held",
             "signal_chain.def",
             {{Drop, 2, 150, 150},
              {Drop, 2, 400, 300},
              {PressPort, 1},
              {PressPort, 2},
              {PressPort, 2},
              {Undo},
              {PressPort, 1}}},
            {"Undo after arrow moves left a wire off its port",
             "signal_chain.def",
             {{Drop, 2, 150, 150},
              {Drop, 2, 400, 200},
              {PressPort, 1},
              {PressPort, 2},
              {DragBlock, 1, 0, 0, 0, 100},
              {Arrow, 2, 0, 0, 0, 0, Shift},
              {Arrow, 2, 0, 0, 0, 0, Shift},
              {Arrow, 2, 0, 0, 0, 0, Shift},
              {Undo}}},
            {"Delete and Undo changed the order of the blocks",
             "signal_chain.def",
             {{Drop, 2, 150, 150},
              {Drop, 2, 400, 200},
              {PressPort, 1},
              {PressPort, 2},
              {SelectAll},
              {DeleteKey},
              {Undo}}},
            {"Return in the Variables window discarded the edit",
             "signal_chain.def",
             {{Drop, 2, 200, 200}, {EditVars, 0, 0, 0, 2}}},
            {"a variable edit left 21 undo records", "signal_chain.def", twentyRecords},
            // state_machine.def's types 1 and 2: Start (port 0: next) and State (1, 2: next,
            // fail; 3: enter). Two States at equal position keys, wired from Start in the order
            // opposite to the canvas's.
            {"targets at equal keys were gathered in the order their wires were drawn in",
             "state_machine.def",
             {{Drop, 1, 100, 100},
              {Drop, 2, 300, 400},
              {Drop, 2, 400, 300},
              {PressPort, 0},
              {PressPort, 6},
              {PressPort, 0},
              {PressPort, 3}}},
            {"an arrow moved a block above the top edge twice sideways",
             "signal_chain.def",
             {{Pan, 0, 300, 300, 0, 100}, {Drop, 2, 200, 0}, {Click, 0, 200, 0}, {Arrow, 0}}},
        };
        for (const KnownFault& fault : faults) {
            const Failure failure = runSequence(fault.definitionFile, fault.ops, scratch.path());
            QVERIFY2(failure.index < 0, qPrintable(QString("%1: after operation %2: %3")
                                                       .arg(fault.what)
                                                       .arg(failure.index)
                                                       .arg(failure.what)));
        }
    }

    void randomSequences() {
        const int length = 60;
        if (qEnvironmentVariableIsSet("DRAFTEL_EDITING_SEED")) {
            runSeed(qEnvironmentVariable("DRAFTEL_EDITING_SEED").toUInt(), length);
            return;
        }
        const int minutes = qEnvironmentVariableIntValue("DRAFTEL_EDITING_MINUTES");
        if (minutes <= 0) {
            for (std::uint32_t seed = 1; seed <= 120 && runSeed(seed, length); ++seed) {
            }
            return;
        }
        std::random_device fresh;
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(minutes);
        long sequences = 0;
        while (std::chrono::steady_clock::now() < end && runSeed(fresh(), length)) {
            ++sequences;
        }
        std::printf("%ld sequences, %ld operations, %ld checks of Undo against earlier designs\n",
                    sequences, operationsRun, undoChecks);
    }
};

DRAFTEL_TEST_MAIN(TestEditingSequences)
#include "test_editingsequences.moc"
