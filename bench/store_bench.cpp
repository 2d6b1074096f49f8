// Table store figures: appending a language's worth of pascal rows, and a filtered full scan.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

using namespace lexorin::store;

namespace {

struct ScratchTable {
    ScratchTable() {
        dir = std::filesystem::temp_directory_path() /
              ("lexorin-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::remove(dir / "bench_pascal.db");
        create_table((dir / "bench_pascal.db").string(), pascal_schema());
    }
    ~ScratchTable() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

void fill(Table& t, int rows) {
    for (int i = 0; i < rows; ++i)
        t.append_record({0, "String number " + std::to_string(i), "", i % 200, false, i % 7 == 0,
                         "  Caption := 'String number';\r\n  Hint := '';", i, i, 0});
    t.flush();
}

void BM_Append100kPascalRows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ScratchTable scratch;
        Session session;
        Table t(session, scratch.dir.string(), "bench_pascal.db");
        t.open();
        state.ResumeTiming();
        fill(t, 100000);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_Append100kPascalRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FilteredScan100k(benchmark::State& state) {
    ScratchTable scratch;
    Session session;
    Table t(session, scratch.dir.string(), "bench_pascal.db");
    t.open();
    fill(t, 100000);
    const std::string not_ignored = std::string(field::Ignore) + "=0 and ";
    const std::string untranslated = not_ignored + field::Translated + "=0";
    const std::string outside_unit_3 = not_ignored + field::UnitName + "<>3";
    t.set_filter(untranslated);
    t.set_filtered(true);
    for (auto _ : state) {
        t.set_filter(state.range(0) ? untranslated : outside_unit_3);
        long count = 0;
        for (t.first(); !t.eof(); t.next())
            count += static_cast<long>(t.text(field::OriginalString).size());
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_FilteredScan100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
