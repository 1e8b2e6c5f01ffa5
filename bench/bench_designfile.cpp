// Design file throughput on a synthetic design of 10,000 blocks with three
// variables each and 10,000 wires with bends: saving it through the safe writer,
// reading it back headless into plain records, only walking its records, and reading
// it with every check a design must pass, as the editor and draftel-gen do.
#include "definitions/catalogue.h"
#include "definitions/definitionfile.h"
#include "definitions/definitionset.h"
#include "definitions/toolboxentry.h"
#include "designfile/designfile.h"
#include "designfile/designfilewriter.h"
#include "designfile/designreader.h"
#include "designfile/designrecordreader.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kBlocks = 10000;
constexpr int kWires = 10000;

DesignRecords syntheticDesign() {
    const char* types[] = {"AND", "OR", "Counter", "Register", "Multiplexer"};
    DesignRecords d;
    d.settings = SettingsRecord{"logic.def", "out.txt", 40, 40, 1280, 900};
    d.blocks.reserve(kBlocks);
    for (int i = 0; i < kBlocks; ++i) {
        d.blocks.push_back({std::uint32_t(i),
                            types[i % 5],
                            float(120 * (i % 100)) + 0.5f,
                            float(80 * (i / 100)),
                            float(i + 1),
                            {{"init", std::to_string(i * 37 % 1000)},
                             {"name", "block" + std::to_string(i)},
                             {"width", std::to_string(1 + i % 32)}}});
    }
    d.wires.reserve(kWires);
    for (int i = 0; i < kWires; ++i) {
        const int x = 120 * (i % 100), y = 80 * (i / 100);
        // From an output of block i to an input of the next, around a corner:
        // three segments, four points.
        d.wires.push_back(
            {std::uint32_t((i + 1) % kBlocks),
             1,
             std::uint32_t(i),
             1,
             WireRecord::FirstEndIsInput | WireRecord::StartsHorizontally,
             {{x + 130, y + 20}, {x + 90, y + 20}, {x + 90, y + 60}, {x + 60, y + 60}}});
    }
    return d;
}

// The bytes of every field of every record, without the records' length prefixes.
std::size_t fieldBytes(const DesignRecords& d) {
    std::size_t n = 11 + 4; // header: "Design" and its zero byte, version
    n += 1 + d.settings->definitionFile.size() + 1 + d.settings->outputFile.size() + 1 + 16;
    for (const BlockRecord& b : d.blocks) {
        n += 1 + 4 + b.type.size() + 1 + 12 + 4;
        for (const BlockVariable& v : b.variables)
            n += v.name.size() + 1 + v.value.size() + 1;
    }
    for (const WireRecord& w : d.wires)
        n += 1 + 16 + 1 + 4 + 8 * w.points.size();
    return n;
}

struct Fixture {
    Fixture() : design(syntheticDesign()), path(dir.filePath("synthetic.des")) {
        if (!writeDesignFile(path, design))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        QFile definitions(dir.filePath("logic.def"));
        if (!definitions.open(QIODevice::WriteOnly) ||
            definitions.write("block AND ( o : a, b ) { } block OR ( o : a, b ) { }\n"
                              "block Counter ( o : a ) { } block Register ( o : a, b ) { }\n"
                              "block Multiplexer ( o : a, b, c ) { }\n") < 0)
            std::fprintf(stderr, "cannot write the definitions\n");
    }
    QTemporaryDir dir;
    DesignRecords design;
    QString path;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void reportSize(benchmark::State& state) {
    const auto file = double(QFileInfo(fixture().path).size());
    const auto fields = double(fieldBytes(fixture().design));
    state.counters["file_kB"] = file / 1024;
    state.counters["fields_kB"] = fields / 1024;
    state.counters["overhead_%"] = 100 * (file - fields) / fields;
}

void BM_WriteDesign(benchmark::State& state) {
    Fixture& f = fixture();
    const QString path = f.dir.filePath("written.des");
    for (auto _ : state) {
        QString error;
        if (!writeDesignFile(path, f.design, &error))
            state.SkipWithError(qPrintable(error));
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kBlocks);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFileInfo(path).size());
    reportSize(state);
}
BENCHMARK(BM_WriteDesign)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadDesign(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const DesignRecords read = readDesignFile(f.path);
        if (read.blocks.size() != std::size_t(kBlocks) || read.wires.size() != std::size_t(kWires))
            state.SkipWithError("records missing");
        benchmark::DoNotOptimize(read);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kBlocks);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFileInfo(f.path).size());
    reportSize(state);
}
BENCHMARK(BM_ReadDesign)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk alone, as the editor does when it applies each record as it comes.
void BM_WalkDesign(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        DesignRecordReader reader(f.path);
        std::size_t variables = 0;
        for (auto item = reader.next(); item != DesignRecordReader::Item::EndOfFile;
             item = reader.next()) {
            if (item == DesignRecordReader::Item::Block)
                variables += reader.block().variables.size();
            else if (item == DesignRecordReader::Item::Damaged ||
                     item == DesignRecordReader::Item::Truncated)
                break;
        }
        if (variables != std::size_t(3 * kBlocks))
            state.SkipWithError("records missing");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFileInfo(f.path).size());
}
BENCHMARK(BM_WalkDesign)->Unit(benchmark::kMillisecond)->UseRealTime();

// Counts what the reader hands over; the definition file is parsed as the front ends parse it.
class CountingReceiver : public DesignReceiver {
public:
    QString loadDefinitions(const QString& path) override {
        const QString error = readDefinitionFile(path, m_definitions);
        for (auto& entry : makeCatalogue(m_definitions))
            m_types.emplace(entry->name(), std::move(entry));
        return error;
    }
    ToolboxEntry* blockType(const std::string& name) override {
        const auto found = m_types.find(name);
        return found == m_types.end() ? nullptr : found->second.get();
    }
    void settings(const SettingsRecord&) override {}
    void block(const BlockRecord&, ToolboxEntry&) override { ++blocks; }
    void wire(const WireRecord&, std::size_t, std::size_t) override { ++wires; }
    int blocks = 0;
    int wires = 0;

private:
    DefinitionSet m_definitions;
    std::map<std::string, std::unique_ptr<ToolboxEntry>> m_types;
};

// The walk with the checks: block types, unique numbers, ports drawn by each type's outline
// (interpreted once per type), inputs fed once.
void BM_ReadCheckedDesign(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        CountingReceiver receiver;
        const DesignVerdict verdict = readDesign(f.path, f.dir.path(), receiver);
        if (!verdict.fine() || receiver.blocks != kBlocks || receiver.wires != kWires)
            state.SkipWithError(qPrintable(verdict.message));
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kBlocks);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * QFileInfo(f.path).size());
}
BENCHMARK(BM_ReadCheckedDesign)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
