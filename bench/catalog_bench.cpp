// Catalogue loading and unscrambling against baselines measured in the same run:
// - loading 100,000 articles from disk vs copying the file's bytes, and vs building the same
//   hash maps from the same strings already in memory;
// - unscrambling the image alone vs copying it, and vs a byte-at-a-time generator loop.
// The ratios are printed after the table; with --benchmark_repetitions=N they are those of the
// medians, and --benchmark_enable_random_interleaving=true runs the repetitions of all the
// benchmarks in turn, so that a busy machine weighs on both sides of each ratio alike.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogFormat.h"
#include "catalog/CatalogStore.h"
#include "catalog/Keystream.h"

namespace {

constexpr catalog_format::Generator kGenerator = catalog_format::kCatalogGenerator;
constexpr int kArticles = 100000;
const char* const kLanguages[] = {"English", "German", "French", "Italian", "Russian"};

struct Fixture {
    std::string path;
    std::vector<char> fileBytes;
    std::vector<std::pair<std::string, std::string>> entries;

    Fixture() {
        CatalogStore store;
        CatalogSection& articles = store.Section(ArticleCatalog::ArticleSectionName);
        for (int i = 0; i < kArticles; ++i) {
            char key[16];
            std::snprintf(key, sizeof key, "%c%06d", "EGFIR"[i % 5], i);
            const std::string value = std::string("%:\\") + kLanguages[i % 5] + "\\setup.exe";
            entries.emplace_back(key, value);
            articles.Set(key, CatalogValue::String(value));
        }
        char name[] = "/tmp/catalog-bench-XXXXXX";
        const int fd = mkstemp(name);
        close(fd);
        path = name;
        if (!store.Save(path, true)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
        std::ifstream in(path, std::ios::binary);
        fileBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ~Fixture() { std::remove(path.c_str()); }
};

Fixture& Data() {
    static Fixture fixture;
    return fixture;
}

void LoadCatalogue(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        ArticleCatalog catalog;
        if (!catalog.Load(f.path)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(catalog.HasKey("R000004"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.fileBytes.size()));
}

void CopyFileBytes(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        std::vector<char> copy(f.fileBytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.fileBytes.size()));
}

void BuildMapsFromMemory(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        CatalogStore::SectionMap sections;
        CatalogSection& section = sections[ArticleCatalog::ArticleSectionName];
        section.Reserve(f.entries.size());
        for (const auto& [key, value] : f.entries) {
            section.Set(key, CatalogValue::String(value));
        }
        benchmark::DoNotOptimize(section.Size());
    }
}

std::vector<std::uint8_t> Body() {
    const std::vector<char>& file = Data().fileBytes;
    const std::size_t bodyStart = catalog_format::kHeaderSize + catalog_format::kPrefixSize;
    return std::vector<std::uint8_t>(file.begin() + bodyStart, file.end());
}

void Unscramble(benchmark::State& state) {
    std::vector<std::uint8_t> body = Body();
    for (auto _ : state) {
        Keystream stream(kGenerator.multiplier, kGenerator.increment, kGenerator.seed);
        benchmark::DoNotOptimize(stream.Apply(body.data(), body.size(), 0x5A, true));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}

void UnscrambleSerial(benchmark::State& state) {
    std::vector<std::uint8_t> body = Body();
    for (auto _ : state) {
        std::uint16_t s = kGenerator.seed;
        std::uint8_t sum = 0;
        std::uint8_t bitOr = 0;
        for (std::uint8_t& b : body) {
            s = static_cast<std::uint16_t>(std::uint32_t{kGenerator.multiplier} * s +
                                           kGenerator.increment);
            b = static_cast<std::uint8_t>(b ^ s ^ 0x5A);
            sum = static_cast<std::uint8_t>(sum + b);
            bitOr |= b;
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(bitOr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}

void CopyImage(benchmark::State& state) {
    const std::vector<std::uint8_t> body = Body();
    std::vector<std::uint8_t> target(body.size());
    for (auto _ : state) {
        std::memcpy(target.data(), body.data(), body.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}

BENCHMARK(LoadCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildMapsFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(Unscramble)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnscrambleSerial)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyImage)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's real time per iteration for the ratios: of its run, or with
// --benchmark_repetitions the median of its repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) {
                continue;
            }
            const std::string name = run.run_name.str();
            if (median || !medians.count(name)) {
                times[name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
            if (median) {
                medians.insert(name);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const char* what, const std::string& a, const std::string& b) const {
        const auto x = times.find(a);
        const auto y = times.find(b);
        if (x != times.end() && y != times.end() && y->second > 0) {
            std::printf("  %-44s %8.2f\n", what, x->second / y->second);
        }
    }

    std::map<std::string, double> times;
    std::set<std::string> medians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Data();
    std::printf("catalogue: %d articles, %zu bytes on disk\n", kArticles, Data().fileBytes.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratios (time / baseline time, same run):\n");
    reporter.PrintRatio("load / copy of the file's bytes", "LoadCatalogue", "CopyFileBytes");
    reporter.PrintRatio("load / building the maps from memory", "LoadCatalogue",
                        "BuildMapsFromMemory");
    reporter.PrintRatio("unscramble / copy of the image", "Unscramble", "CopyImage");
    reporter.PrintRatio("byte-serial unscramble / copy of the image", "UnscrambleSerial",
                        "CopyImage");
    reporter.PrintRatio("byte-serial unscramble / unscramble", "UnscrambleSerial", "Unscramble");
    benchmark::Shutdown();
    return 0;
}
