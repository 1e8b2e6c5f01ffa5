// Generation throughput: a chain of a source, N multiply blocks with an edited variable and a
// sink, and a synthetic design with fan-out, collect outputs with delimiters, once-per-type
// sections and a file-level gathering. Deep expansions: blocks in series each expanding its
// predecessor's output, references nested in one another, and global items each referring to
// the next. Blocks are held in memory behind the generator's block view, as the command-line
// generator holds a design it has read.
#include "definitions/definitionset.h"
#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"
#include "generator/blockview.h"
#include "generator/generatedfiles.h"
#include "generator/generator.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <malloc.h>
#include <map>
#include <new>

// Live and peak heap bytes, to compare what a run allocates with what it writes.
// Counted only while g_counting is set, so that the timed runs pay nothing for it.
namespace {
bool g_counting = false;
long long g_live = 0;
long long g_peak = 0;

void* counted(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    if (g_counting) {
        g_live += (long long)malloc_usable_size(p);
        g_peak = std::max(g_peak, g_live);
    }
    return p;
}

void uncounted(void* p) {
    if (p && g_counting)
        g_live -= (long long)malloc_usable_size(p);
    std::free(p);
}
} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void operator delete(void* p) noexcept {
    uncounted(p);
}
void operator delete[](void* p) noexcept {
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    uncounted(p);
}

namespace {

class BenchBlock : public BlockView {
public:
    BenchBlock(const char* type, double x, double y, int inputs, int outputs)
        : m_type(type), m_x(x), m_y(y), m_sources(std::size_t(inputs)),
          m_targets(std::size_t(outputs)) {}

    const char* typeName() const override { return m_type; }
    double x() const override { return m_x; }
    double y() const override { return m_y; }
    const NameList<ValueList>& variables() const override { return m_variables; }
    PortEnd inputSource(int port) const override {
        return port >= 1 && std::size_t(port) <= m_sources.size() ? m_sources[std::size_t(port - 1)]
                                                                  : PortEnd{};
    }
    void outputTargets(int port, std::vector<PortEnd>& targets) const override {
        if (port >= 1 && std::size_t(port) <= m_targets.size()) {
            const auto& list = m_targets[std::size_t(port - 1)];
            targets.insert(targets.end(), list.begin(), list.end());
        }
    }

    void set(const char* name, const std::string& value) {
        auto list = std::make_unique<ValueList>();
        list->append(DynString(value.c_str()));
        m_variables.insert(name, std::move(list));
    }
    static void wire(BenchBlock& from, int output, BenchBlock& to, int input) {
        to.m_sources[std::size_t(input - 1)] = PortEnd{&from, output};
        from.m_targets[std::size_t(output - 1)].push_back(PortEnd{&to, input});
    }

private:
    const char* m_type;
    double m_x;
    double m_y;
    NameList<ValueList> m_variables;
    std::vector<PortEnd> m_sources;
    std::vector<std::vector<PortEnd>> m_targets;
};

struct Design {
    std::unique_ptr<DefinitionSet> definitions;
    std::deque<BenchBlock> blocks;
    std::vector<const BlockView*> views;
};

std::unique_ptr<DefinitionSet> parse(const char* text) {
    auto set = std::make_unique<DefinitionSet>();
    Tokenizer tokenizer(std::make_unique<MemoryCharSource>(text));
    if (set->read(tokenizer))
        std::fprintf(stderr, "definition error: %s\n", tokenizer.errorText());
    return set;
}

const char* const kChainDefinitions = R"d(
    head "#include \"flow.h\""
    head ""
    head "int main(void)"
    head "{"
    tail "    return run();"
    tail "}"
    block Source ( out : ) {
        edit frequency "1000"
        out "src$(u_id)"
        make "    Source src$(u_id)($(frequency));"
    }
    block Multiply ( out : in ) {
        edit k "2.0"
        out "mul$(u_id)"
        make "    Multiply mul$(u_id)($(k));"
        connect "    connect($(in), mul$(u_id));"
    }
    block Sink ( : in ) {
        make "    Sink sink$(u_id);"
        connect "    connect($(in), sink$(u_id));"
    }
    file "" head make connect tail ;
)d";

// A source, n multiply blocks each with its own factor, and a sink, wired in a row and
// placed along a diagonal band so that position order differs from creation order.
Design chain(int n) {
    Design d;
    d.definitions = parse(kChainDefinitions);
    BenchBlock* previous = &d.blocks.emplace_back("Source", 0, 0, 0, 1);
    for (int i = 1; i <= n; ++i) {
        BenchBlock& m = d.blocks.emplace_back("Multiply", 20.0 * i, (i % 7) * 3.0, 1, 1);
        m.set("k", std::to_string(i) + ".5");
        BenchBlock::wire(*previous, 1, m, 1);
        previous = &m;
    }
    BenchBlock& sink = d.blocks.emplace_back("Sink", 20.0 * (n + 1), 0, 1, 0);
    BenchBlock::wire(*previous, 1, sink, 1);
    for (const BenchBlock& b : d.blocks)
        d.views.push_back(&b);
    return d;
}

const char* const kSyntheticDefinitions = R"d(
    default "none"
    prologue "// $(num) blocks"
    summary "// every block: $(names)"
    block Source ( out : ) {
        - decl "struct Source { double v; };"
        out "s$(u_id).v"
        names " s$(u_id)"
        make "$(tab)Source s$(u_id) = { $(u_id).0 }; // $(b_id) of $(bnum)"
    }
    block Fan ( outs : in ) {
        collect outs ""
        outs_delimiter ", "
        - decl "struct Fan { double *to[4]; };"
        label "f$(u_id)"
        names " f$(u_id)"
        make "Fan f$(u_id) = { { $(outs:slot) } }; // from $(in)"
    }
    block Leaf ( : in ) {
        edit gain "1.0"
        - decl "struct Leaf { double v; };"
        slot "&l$(u_id).v"
        names " l$(u_id)"
        make "Leaf l$(u_id) = { $(gain) }; // $(in:label)"
    }
    file "" prologue decl make summary ;
    file ".count" prologue ;
)d";

// Groups of a source feeding a fan whose collect output feeds four leaves.
Design synthetic(int groups) {
    Design d;
    d.definitions = parse(kSyntheticDefinitions);
    for (int g = 0; g < groups; ++g) {
        const double x = 100.0 * g;
        BenchBlock& source = d.blocks.emplace_back("Source", x, 0, 0, 1);
        BenchBlock& fan = d.blocks.emplace_back("Fan", x + 20, 0, 1, 1);
        BenchBlock::wire(source, 1, fan, 1);
        for (int l = 0; l < 4; ++l) {
            BenchBlock& leaf = d.blocks.emplace_back("Leaf", x + 40, 30.0 * (3 - l), 1, 0);
            leaf.set("gain", std::to_string(l) + ".25");
            BenchBlock::wire(fan, 1, leaf, 1);
        }
    }
    for (const BenchBlock& b : d.blocks)
        d.views.push_back(&b);
    return d;
}

struct NoReport : CircularReporter {
    void circularDefinition(const BlockView*) override { std::fprintf(stderr, "circular!\n"); }
};

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// Overwrites a buffer larger than the caches and hands freed memory back, so that the next
// run starts as in a fresh process: the design not in the caches, no heap to reuse.
void startCold(benchmark::State& state) {
    static std::vector<char> junk(64u << 20);
    static char round = 0;
    state.PauseTiming();
    ++round;
    for (std::size_t i = 0; i < junk.size(); i += 64)
        junk[i] = round;
    benchmark::ClobberMemory();
    malloc_trim(0);
    state.ResumeTiming();
}

// The whole Generate: nodes, connections, ordering, expansion, files written.
void runWrite(benchmark::State& state, const Design& design, bool cold) {
    const QString base = scratch().filePath("out");
    NoReport reporter;
    std::size_t outputBytes = 0;
    std::size_t peakBytes = 0;
    for (auto _ : state) {
        if (cold)
            startCold(state);
        const GenerateOutcome outcome =
            writeGeneratedFiles(*design.definitions, design.views, base, reporter);
        if (!outcome.ok())
            state.SkipWithError("generation failed");
    }
    // One more run, untimed, to measure the heap it needs beyond the design.
    g_live = g_peak = 0;
    g_counting = true;
    writeGeneratedFiles(*design.definitions, design.views, base, reporter);
    g_counting = false;
    peakBytes = std::size_t(std::max(g_peak, 0LL));
    for (const auto& sequence : design.definitions->sequences())
        outputBytes += std::size_t(QFile(generatedFileName(base, *sequence)).size());
    const double blocks = double(design.views.size());
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(blocks));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(outputBytes));
    state.counters["output_MB"] = double(outputBytes) / 1e6;
    state.counters["peak_heap_MB"] = double(peakBytes) / 1e6;
    state.counters["peak_per_output"] = double(peakBytes) / double(outputBytes ? outputBytes : 1);
}

struct LineCounter : LineSink {
    void line(std::string_view text) override { bytes += text.size() + 1; }
    std::size_t bytes = 0;
};

// Expansion alone, lines dropped: what the generator costs without the file system.
void runRender(benchmark::State& state, const Design& design) {
    for (auto _ : state) {
        Generator generator(*design.definitions);
        generator.buildNodes(design.views);
        generator.orderNodes();
        LineCounter sink;
        for (const auto& sequence : design.definitions->sequences())
            generator.renderSequence(*sequence, sink);
        benchmark::DoNotOptimize(sink.bytes);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(design.views.size()));
}

Design& chainOf(int n) {
    static std::map<int, Design> designs;
    if (!designs.count(n))
        designs.emplace(n, chain(n));
    return designs.at(n);
}

// Repeated on the same design: what stays in the caches between runs helps the small sizes.
void BM_ChainWrite(benchmark::State& state) {
    runWrite(state, chainOf(int(state.range(0))), false);
}

// Every run from cold caches and a trimmed heap, as a single Generate or draftel-gen is.
void BM_ChainWriteCold(benchmark::State& state) {
    runWrite(state, chainOf(int(state.range(0))), true);
}

// Where the time of a run goes: building the nodes (the one walk over the blocks), ordering,
// rendering, and freeing the run.
void BM_ChainPhases(benchmark::State& state) {
    const Design& design = chainOf(int(state.range(0)));
    double build = 0, order = 0, render = 0, destroy = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        auto generator = std::make_unique<Generator>(*design.definitions);
        generator->buildNodes(design.views);
        auto t1 = std::chrono::steady_clock::now();
        generator->orderNodes();
        auto t2 = std::chrono::steady_clock::now();
        LineCounter sink;
        for (const auto& sequence : design.definitions->sequences())
            generator->renderSequence(*sequence, sink);
        auto t3 = std::chrono::steady_clock::now();
        generator.reset();
        auto t4 = std::chrono::steady_clock::now();
        build += std::chrono::duration<double>(t1 - t0).count();
        order += std::chrono::duration<double>(t2 - t1).count();
        render += std::chrono::duration<double>(t3 - t2).count();
        destroy += std::chrono::duration<double>(t4 - t3).count();
    }
    const double n = double(state.iterations()) / 1000.0;
    state.counters["build_ms"] = build / n;
    state.counters["order_ms"] = order / n;
    state.counters["render_ms"] = render / n;
    state.counters["destroy_ms"] = destroy / n;
}
BENCHMARK(BM_ChainPhases)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ChainRender(benchmark::State& state) {
    runRender(state, chainOf(int(state.range(0))));
}

void BM_SyntheticWrite(benchmark::State& state) {
    const Design design = synthetic(int(state.range(0)));
    runWrite(state, design, false);
}

void BM_SyntheticRender(benchmark::State& state) {
    const Design design = synthetic(int(state.range(0)));
    runRender(state, design);
}

// The expression blocks of the user guide: every Add's output holds its inputs' expressions,
// so the Show's line nests one connection resolution per block.
const char* const kSeriesDefinitions = R"d(
    default "0"
    block Number ( out : ) { edit value "1" out "$(value)" }
    block Add ( out : a, b ) { out "($(a) + $(b))" }
    block Show ( : in ) { body "    printf(\"%g\\n\", (double)($(in)));" }
    file "" body ;
)d";

Design series(int n) {
    Design d;
    d.definitions = parse(kSeriesDefinitions);
    BenchBlock* previous = &d.blocks.emplace_back("Number", 0, 0, 0, 1);
    for (int i = 1; i <= n; ++i) {
        BenchBlock& add = d.blocks.emplace_back("Add", 20.0 * i, 0, 2, 1);
        BenchBlock::wire(*previous, 1, add, 1);
        previous = &add;
    }
    BenchBlock& show = d.blocks.emplace_back("Show", 20.0 * (n + 1), 0, 1, 0);
    BenchBlock::wire(*previous, 1, show, 1);
    for (const BenchBlock& b : d.blocks)
        d.views.push_back(&b);
    return d;
}

// No blocks: one global line holding n references, each inside the one before it
// ("$(e$(e...$(e)...))"), or n global items each referring to the next.
Design nested(int n) {
    // Each reference turns the one around it into a name without a value.
    std::string text = "e \"x\"\ndefault \"\"\nbody \"<";
    for (int i = 0; i < n; ++i)
        text += "$(e";
    text.append(std::size_t(n), ')');
    text += ">\"\nfile \"\" body ;\n";
    Design d;
    d.definitions = parse(text.c_str());
    return d;
}

Design globalChain(int n) {
    std::string text = "body \"$(a0)\"\nfile \"\" body ;\n";
    for (int i = 0; i + 1 < n; ++i)
        text.append(1, 'a')
            .append(std::to_string(i))
            .append(" \"$(a")
            .append(std::to_string(i + 1))
            .append(")\"\n");
    text.append(1, 'a').append(std::to_string(n - 1)).append(" \"end\"\n");
    Design d;
    d.definitions = parse(text.c_str());
    return d;
}

// One Generate of a deep design, from the nodes to the written file; fails when the run ends
// in anything but success, so that a false circle or a bound shows at once.
void runDeep(benchmark::State& state, const Design& design) {
    runWrite(state, design, false);
}

void BM_SeriesChain(benchmark::State& state) {
    static std::map<int, Design> designs;
    const int n = int(state.range(0));
    if (!designs.count(n))
        designs.emplace(n, series(n));
    runDeep(state, designs.at(n));
}

void BM_NestedReference(benchmark::State& state) {
    const Design design = nested(int(state.range(0)));
    runDeep(state, design);
    state.counters["steps_per_s"] = benchmark::Counter(
        double(state.iterations()) * double(state.range(0)), benchmark::Counter::kIsRate);
}

void BM_GlobalChain(benchmark::State& state) {
    const Design design = globalChain(int(state.range(0)));
    runDeep(state, design);
}

} // namespace

BENCHMARK(BM_SeriesChain)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NestedReference)->Arg(10000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlobalChain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainWrite)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainWriteCold)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainRender)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyntheticWrite)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyntheticRender)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
