// Building a large design on a canvas and moving all of it, as the editor does.
#include "canvas/blockitem.h"
#include "canvas/wireitem.h"
#include "definitions/blockdefinition.h"
#include "definitions/toolboxentry.h"

#include <QApplication>
#include <QGraphicsScene>
#include <benchmark/benchmark.h>

namespace {
struct Design {
    Design() : definition("Stage"), entry("Stage", nullptr, nullptr, &definition) {
        for (const char* name : {"a", "b"}) {
            definition.addInput(name);
            entry.addInput(name);
        }
        definition.addOutput("o");
        entry.addOutput("o");
    }
    ~Design() {
        for (BlockItem* block : blocks) {
            delete block;
        }
    }

    // Blocks on a grid, each feeding the next through a wire with two extra bends.
    void build(int count) {
        for (int i = 0; i < count; ++i) {
            auto* block = new BlockItem(&scene, &selection, &entry, float(i + 1));
            block->moveBy(100 * (i % 100), 100 * (i / 100));
            blocks.push_back(block);
        }
        for (int i = 0; i + 1 < count; ++i) {
            const QPoint start = (blocks[i]->pos() + QPointF(50, 20)).toPoint();
            const QPoint end = (blocks[i + 1]->pos() + QPointF(-10, 20)).toPoint();
            auto* wire = new WireItem(start.x(), start.y(), true, &scene);
            wire->setFirstEnd(blocks[i], 1, false);
            wire->moveLooseEnd(start.x() + 20, start.y() + 40);
            wire->addSegmentTo(start.x() + 20, start.y() + 40);
            wire->moveLooseEnd(end.x(), end.y());
            wire->setSecondEnd(blocks[i + 1], 1);
        }
        // The scene polishes new items from the event loop, as in the running editor.
        QCoreApplication::processEvents();
    }

    BlockDefinition definition;
    ToolboxEntry entry;
    QGraphicsScene scene;
    QList<BlockItem*> selection;
    std::vector<BlockItem*> blocks;
};

void constructBlocksAndWires(benchmark::State& state) {
    const int count = int(state.range(0));
    for (auto _ : state) {
        Design design;
        design.build(count);
        benchmark::DoNotOptimize(design.blocks.data());
        state.PauseTiming();
        // Tearing down is not what is measured.
        for (BlockItem* block : design.blocks) {
            delete block;
        }
        design.blocks.clear();
        state.ResumeTiming();
    }
    state.counters["blocks/s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(constructBlocksAndWires)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void moveWholeSelection(benchmark::State& state) {
    Design design;
    design.build(int(state.range(0)));
    for (BlockItem* block : design.blocks) {
        block->setSelected(true);
    }
    int step = 1;
    for (auto _ : state) {
        for (BlockItem* block : design.selection) {
            block->moveBy(step, 0);
        }
        step = -step;
    }
}
BENCHMARK(moveWholeSelection)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
