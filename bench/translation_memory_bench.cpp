// Translation memory figures over 1,000,000 entries of one language: exact lookups, and fuzzy
// lookups through the trigram index at the thresholds of pretranslate (75) and of suggestions
// (50). The memory is filled once, the index built once (timed on its own); each lookup is one
// query for a text made from a stored original by a few random edits.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "store/translation_memory.h"

using namespace lexorin::store;

namespace {

constexpr int kEntries = 1'000'000;

// UI-like sentences: words of two to four syllables, a few very common (as "the", "file"), most
// rare, one to ten words long.
class Sentences {
  public:
    Sentences() : random_(42) {
        const char* syllables[] = {"ka",  "lo",   "mi",  "ne",  "sa", "tor", "ven", "fi", "le",
                                   "op",  "en",   "cl",  "os",  "da", "ta",  "ri",  "un", "ex",
                                   "pro", "ject", "sel", "ect", "al", "th",  "er"};
        for (int i = 0; i < 5000; ++i) {
            std::string word;
            const int count = 2 + static_cast<int>(random_() % 3);
            for (int s = 0; s < count; ++s) word += syllables[random_() % std::size(syllables)];
            words_.push_back(word);
        }
    }
    std::string next() {
        std::string text;
        const int count = 1 + static_cast<int>(random_() % 10);
        for (int i = 0; i < count; ++i) {
            // Zipf-like: squaring a uniform number favours the first words.
            const double u = std::uniform_real_distribution<double>(0, 1)(random_);
            text += (i ? " " : "") + words_[static_cast<size_t>(u * u * words_.size())];
        }
        return text;
    }
    // `text` with `edits` random replacements, insertions or deletions.
    std::string edited(std::string text, int edits) {
        for (int i = 0; i < edits && !text.empty(); ++i) {
            const size_t at = random_() % text.size();
            switch (random_() % 3) {
                case 0:
                    text[at] = static_cast<char>('a' + random_() % 26);
                    break;
                case 1:
                    text.insert(at, 1, static_cast<char>('a' + random_() % 26));
                    break;
                default:
                    text.erase(at, 1);
            }
        }
        return text;
    }
    std::mt19937& random() { return random_; }

  private:
    std::mt19937 random_;
    std::vector<std::string> words_;
};

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The memory, filled at first use and removed at exit.
struct FilledMemory {
    FilledMemory() {
        dir = std::filesystem::temp_directory_path() /
              ("lexorin-tm-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        memory = std::make_unique<TranslationMemory>(dir.string());
        std::vector<MemoryEntry> entries;
        entries.reserve(kEntries);
        for (int i = 0; entries.size() < kEntries; ++i) {
            std::string text = sentences.next() + " " + std::to_string(i % 1000);
            originals.push_back(text);
            entries.push_back({"German", text, "de " + text, "Bench", "20240101T000000Z"});
        }
        const auto start = std::chrono::steady_clock::now();
        memory->Record(entries);
        std::cerr << "filling " << kEntries << " entries: " << seconds_since(start) << " s\n";
    }
    ~FilledMemory() {
        memory.reset();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    Sentences sentences;
    std::vector<std::string> originals;
    std::unique_ptr<TranslationMemory> memory;
};

FilledMemory& filled() {
    static FilledMemory memory;
    return memory;
}

void BM_BuildFuzzyIndex(benchmark::State& state) {
    FilledMemory& m = filled();
    for (auto _ : state) {
        // The first fuzzy lookup of the language builds its index.
        benchmark::DoNotOptimize(m.memory->Suggestions("German", "x", 1));
    }
}
BENCHMARK(BM_BuildFuzzyIndex)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ExactLookup(benchmark::State& state) {
    FilledMemory& m = filled();
    size_t i = 0;
    for (auto _ : state) {
        const std::string& original = m.originals[(i++ * 7919) % m.originals.size()];
        benchmark::DoNotOptimize(m.memory->Find("German", original));
    }
}
BENCHMARK(BM_ExactLookup)->Unit(benchmark::kMicrosecond);

// Arguments: the threshold, the edits made to the stored original.
void BM_FuzzyLookup(benchmark::State& state) {
    FilledMemory& m = filled();
    const int threshold = static_cast<int>(state.range(0));
    const int edits = static_cast<int>(state.range(1));
    std::vector<std::string> queries;
    for (int i = 0; i < 200; ++i)
        queries.push_back(
            m.sentences.edited(m.originals[m.sentences.random()() % m.originals.size()], edits));
    m.memory->Suggestions("German", queries[0], 5, threshold);  // the index is built
    size_t i = 0, found = 0;
    for (auto _ : state)
        found +=
            m.memory->Suggestions("German", queries[i++ % queries.size()], 5, threshold).empty()
                ? 0
                : 1;
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(i);
}
BENCHMARK(BM_FuzzyLookup)
    ->Args({75, 2})
    ->Args({50, 2})
    ->Args({50, 6})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
