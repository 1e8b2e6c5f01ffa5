// The editor's interactive operations on a design of thousands of blocks.
#include "app/mainui.h"
#include "app/recoverycopy.h"
#include "app/recoverysession.h"
#include "canvas/blockitem.h"
#include "canvas/canvashandler.h"
#include "canvas/designcanvas.h"
#include "canvas/wireitem.h"
#include "definitions/blockdefinition.h"
#include "definitions/toolboxentry.h"
#include "export/designpicture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct Editor {
    // Builds the design on the given editor (a window's), or on one of its own.
    explicit Editor(int count, CanvasHandler* on = nullptr) : editor(on ? *on : ownEditor) {
        definition = std::make_unique<BlockDefinition>("Stage");
        auto entry = std::make_unique<ToolboxEntry>("Stage", nullptr, nullptr, definition.get());
        definition->addInput("a");
        entry->addInput("a");
        definition->addOutput("o");
        entry->addOutput("o");
        type = entry.get();
        editor.addBlockType(std::move(entry));
        editor.resize(1000, 800);
        editor.show();
        const int columns = 100;
        for (int i = 0; i < count; ++i) {
            auto* block =
                new BlockItem(editor.canvas(), editor.selectionList(), type, editor.nextZ());
            block->moveBy(100 * (i % columns), 80 * (i / columns));
            blocks.push_back(block);
        }
        for (int i = 0; i + 1 < count; ++i) {
            const QPoint start = (blocks[i]->pos() + QPointF(50, 20)).toPoint();
            const QPoint end = (blocks[i + 1]->pos() + QPointF(-10, 20)).toPoint();
            auto* wire = new WireItem(start.x(), start.y(), true, editor.canvas());
            wire->setFirstEnd(blocks[i], 1, false);
            wire->moveLooseEnd(end.x(), end.y());
            wire->setSecondEnd(blocks[i + 1], 1);
        }
        editor.resizeCanvas(100 * columns + 100, 80 * (count / columns) + 100);
        QCoreApplication::processEvents();
    }

    void mouse(QEvent::Type type, QPoint canvasPoint, Qt::MouseButton button = Qt::LeftButton) {
        const QPoint view = editor.mapFromScene(canvasPoint);
        QMouseEvent event(
            type, view, editor.viewport()->mapToGlobal(view),
            type == QEvent::MouseMove ? Qt::NoButton : button,
            type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::MouseButtons(), {});
        QCoreApplication::sendEvent(editor.viewport(), &event);
    }

    // Gives every block three variables, as designs in use have.
    void addVariables() {
        for (BlockItem* block : blocks) {
            for (const char* name : {"alpha", "beta", "gamma"}) {
                auto values = std::make_unique<ValueList>();
                values->append(DynString("a value of moderate length"));
                block->variables().insert(name, std::move(values));
            }
        }
    }

    std::unique_ptr<BlockDefinition> definition;
    ToolboxEntry* type = nullptr;
    CanvasHandler ownEditor;
    CanvasHandler& editor;
    std::vector<BlockItem*> blocks;
};

constexpr int kBlocks = 10000;

void wireDrawingMove(benchmark::State& state) {
    Editor e(kBlocks);
    // Start a wire at the last block's output, far from most blocks in creation order.
    const QPoint start = (e.blocks.back()->pos() + QPointF(50, 20)).toPoint();
    e.mouse(QEvent::MouseButtonPress, start);
    e.mouse(QEvent::MouseButtonRelease, start);
    int step = 0;
    for (auto _ : state) {
        e.mouse(QEvent::MouseMove, start + QPoint(30 + step % 7, 10));
        ++step;
    }
}
BENCHMARK(wireDrawingMove)->Unit(benchmark::kMillisecond);

void rubberBandMoveOverHalf(benchmark::State& state) {
    Editor e(kBlocks);
    e.editor.ensureVisible(0, 0, 10, 10);
    e.mouse(QEvent::MouseButtonPress, {5000, -1});
    int step = 0;
    for (auto _ : state) {
        // The band spans the left half of the design.
        e.mouse(QEvent::MouseMove, {-1 - step % 2, 80 * (kBlocks / 100)});
        ++step;
    }
    state.counters["selected"] = double(e.editor.selection().size());
}
BENCHMARK(rubberBandMoveOverHalf)->Unit(benchmark::kMillisecond);

void selectAllAndArrowMove(benchmark::State& state) {
    Editor e(kBlocks);
    int direction = 1;
    for (auto _ : state) {
        e.editor.deselectAll();
        e.editor.selectAll();
        e.editor.keyPress(direction > 0 ? Qt::Key_Right : Qt::Key_Left, {});
        direction = -direction;
    }
}
BENCHMARK(selectAllAndArrowMove)->Unit(benchmark::kMillisecond);

void deleteAllThenUndo(benchmark::State& state) {
    Editor e(kBlocks);
    for (auto _ : state) {
        e.editor.selectAll();
        e.editor.deleteSelected();
        e.editor.undo();
    }
    state.counters["blocks"] = double(e.editor.canvas()->blockCount());
}
BENCHMARK(deleteAllThenUndo)->Unit(benchmark::kMillisecond)->Iterations(1);
void saveAndLoadOnCanvas(benchmark::State& state) {
    Editor e(kBlocks);
    e.addVariables();
    const QString path = QDir::temp().filePath("draftel-bench-editor.des");
    double saveSeconds = 0;
    double loadSeconds = 0;
    double clearSeconds = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        e.editor.saveDesign(path, QRect(0, 0, 800, 600));
        saveSeconds += timer.nsecsElapsed() / 1e9;
        Editor fresh(0);
        DesignLoadContext context;
        context.loadDefinitions = [](const QString&) { return QString(); };
        timer.restart();
        fresh.editor.loadDesign(path, context);
        loadSeconds += timer.nsecsElapsed() / 1e9;
        benchmark::DoNotOptimize(fresh.editor.canvas()->blockCount());
        // Closing the window: the event loop has run in between, as it would have.
        QCoreApplication::processEvents();
        timer.restart();
        fresh.editor.clear();
        clearSeconds += timer.nsecsElapsed() / 1e9;
    }
    state.counters["save_ms"] = 1000 * saveSeconds / double(state.iterations());
    state.counters["load_ms"] = 1000 * loadSeconds / double(state.iterations());
    state.counters["clear_ms"] = 1000 * clearSeconds / double(state.iterations());
    QFile::remove(path);
}
BENCHMARK(saveAndLoadOnCanvas)->Unit(benchmark::kMillisecond)->Iterations(2);

// A recovery copy of a window's design: the time is what the GUI thread spends (taking the
// design and queueing it); the worker's write is waited for outside the timing and reported.
void recoveryCopyOnGuiThread(benchmark::State& state) {
    QTemporaryDir folder;
    RecoverySession session(folder.path(), RecoverySession::defaultIntervalMs);
    MainUI window;
    window.show();
    Editor e(kBlocks, window.canvasHandler());
    e.addVariables();
    auto* keeper = window.findChild<RecoveryCopy*>();
    double workerSeconds = 0;
    for (auto _ : state) {
        window.canvasHandler()->setModified(true);
        keeper->writeIfChanged();
        state.PauseTiming();
        QElapsedTimer timer;
        timer.start();
        session.waitForWrites();
        workerSeconds += timer.nsecsElapsed() / 1e9;
        state.ResumeTiming();
    }
    state.counters["worker_write_ms"] = 1000 * workerSeconds / double(state.iterations());
    state.counters["copy_bytes"] = double(QFileInfo(session.copyPath(keeper->name())).size());
    // The blocks go while the block type they were made from still exists.
    window.canvasHandler()->clear();
}
BENCHMARK(recoveryCopyOnGuiThread)->Unit(benchmark::kMillisecond)->Iterations(10);

// A picture of a large design with every block selected (the marks are hidden and put back),
// as PNG (argument 0), SVG (1) and PDF (2). 2,000 blocks make a PNG of 10,000 x 1,600 pixels.
void exportPicture(benchmark::State& state) {
    Editor e(2000);
    e.editor.selectAll();
    const PictureOptions options{PictureFormat(state.range(0)), 1};
    const QString path = QDir::temp().filePath("draftel-bench-picture");
    for (auto _ : state) {
        QString error;
        if (!writeDesignPicture(e.editor, path, options, error)) {
            state.SkipWithError(qPrintable(error));
        }
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
    QFile::remove(path);
}
BENCHMARK(exportPicture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(2);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
