// Definition parsing throughput: synthetic files read through FileCharSource
// (the path the editor and draftel-gen use), and pathological inputs.
#include "defgen.h"

#include "definitions/definitionset.h"
#include "definitions/filecharsource.h"
#include "definitions/memorycharsource.h"
#include "definitions/tokenizer.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <vector>

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// Freeing the model belongs to closing a window, not to parsing. Trimming the heap
// afterwards keeps the next iteration from paying for this one's garbage, as in a
// fresh process.
void releaseUntimed(benchmark::State& state, std::unique_ptr<DefinitionSet>& set) {
    state.PauseTiming();
    set.reset();
    malloc_trim(0);
    state.ResumeTiming();
}

// One synthetic file per size, written once.
QString fileOf(std::size_t bytes, std::size_t* actualSize) {
    static std::map<std::size_t, std::pair<QString, std::size_t>> files;
    auto it = files.find(bytes);
    if (it == files.end()) {
        const std::string text = generateDefinitions(bytes);
        const QString path = scratch().filePath(QString("synthetic-%1.def").arg(bytes));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(text.data(), qint64(text.size())) != qint64(text.size()))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        it = files.emplace(bytes, std::make_pair(path, text.size())).first;
    }
    *actualSize = it->second.second;
    return it->second.first;
}

// Overwrites a buffer larger than the caches, so the next parse starts cold.
void evictCaches() {
    static std::vector<char> junk(64u << 20);
    static char round = 0;
    ++round;
    for (std::size_t i = 0; i < junk.size(); i += 64)
        junk[i] = round;
    benchmark::DoNotOptimize(junk.data());
}

// range(0): megabytes; range(1): 1 to start every parse with cold caches, as a
// real load does, instead of the previous iteration's file and heap in cache.
void BM_ParseSyntheticFile(benchmark::State& state) {
    const bool cold = state.range(1) != 0;
    std::size_t size = 0;
    const QString path = fileOf(std::size_t(state.range(0)) << 20, &size);
    int blocks = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            evictCaches();
            state.ResumeTiming();
        }
        auto set = std::make_unique<DefinitionSet>();
        Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
        if (set->read(tokenizer))
            state.SkipWithError(tokenizer.errorText());
        // The catalogue walks the block types in name order right after loading.
        blocks = 0;
        for (auto entry : set->blocks())
            blocks += entry.payload->outputCount() >= 0;
        releaseUntimed(state, set);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
    state.counters["blocks"] = blocks;
}
BENCHMARK(BM_ParseSyntheticFile)
    ->ArgsProduct({{1, 10}, {0, 1}})
    ->ArgNames({"MB", "cold"})
    ->Unit(benchmark::kMillisecond);

// The tokenizer alone over the same files: what parsing adds is model building.
void BM_TokenizeSyntheticFile(benchmark::State& state) {
    std::size_t size = 0;
    const QString path = fileOf(std::size_t(state.range(0)) << 20, &size);
    for (auto _ : state) {
        Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
        tokenizer.setComment(0, "#");
        tokenizer.setComment(1, "//");
        tokenizer.setComment(3, "/**/");
        int kind;
        do
            kind = tokenizer.nextToken()->kind();
        while (kind != Token::EndOfInput && kind != Token::SourceError);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}
BENCHMARK(BM_TokenizeSyntheticFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void parseMemory(benchmark::State& state, const std::string& text, bool expectFailure) {
    for (auto _ : state) {
        state.PauseTiming();
        auto source = std::make_unique<MemoryCharSource>(text);
        state.ResumeTiming();
        auto set = std::make_unique<DefinitionSet>();
        Tokenizer tokenizer(std::move(source));
        if (set->read(tokenizer) != expectFailure)
            state.SkipWithError("unexpected result");
        releaseUntimed(state, set);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

// One string literal of N MB: must stay linear in its length.
void BM_LongStringLiteral(benchmark::State& state) {
    const std::string text = "g \"" + std::string(std::size_t(state.range(0)) << 20, 'x') + "\"\n";
    parseMemory(state, text, false);
}
BENCHMARK(BM_LongStringLiteral)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// N hundred thousand global statements over a thousand names.
void BM_ManyStatements(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0) * 100000; ++i)
        text += "g" + std::to_string(i % 1000) + " \"value\"\n";
    parseMemory(state, text, false);
}
BENCHMARK(BM_ManyStatements)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
