// The code scan on generated units: the rewriting alone (in memory) and the whole ScanUnit with
// real tables and files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/text_utils.h"
#include "code/unit_batch.h"
#include "code/unit_scanner.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

namespace {

using lexorin::code::CodeScanOptions;
using lexorin::code::MemoryStringStore;
using lexorin::code::UnitScanner;

// A unit of `lines` lines with a literal on every fourth line and comments of all kinds.
std::vector<std::string> GeneratedUnit(int lines) {
    std::vector<std::string> unit = {"unit Gen;",      "interface",  "uses SysUtils;",
                                     "implementation", "{$R *.DFM}", "procedure Run;",
                                     "begin"};
    for (int i = 0; unit.size() < static_cast<size_t>(lines); ++i) {
        switch (i % 4) {
            case 0:
                unit.push_back("  Label" + std::to_string(i) + ".Caption := 'Caption number " +
                               std::to_string(i) + "';  { label }");
                break;
            case 1:
                unit.push_back("  // Edit.Text := 'commented out';");
                break;
            case 2:
                unit.push_back("  (* a comment with 'quotes' *) x := x + 1;");
                break;
            default:
                unit.push_back("  Inc(Count); Result := Result + Count;");
        }
    }
    unit.push_back("end;");
    unit.push_back("end.");
    return unit;
}

CodeScanOptions Options() {
    CodeScanOptions options;
    options.required_chars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return options;
}

void BM_RewriteUnit(benchmark::State& state) {
    const auto unit = GeneratedUnit(static_cast<int>(state.range(0)));
    const UnitScanner scanner(Options());
    for (auto _ : state) {
        MemoryStringStore strings;
        auto result = scanner.RewriteUnit("/bench/gen.pas", unit, strings);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RewriteUnit)->Arg(500)->Arg(20000);

// 50 units of 500 lines scanned into real tables and rewritten on disk.
void BM_ScanUnits(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "lexorin-code-bench";
    const std::string text = lexorin::join_text_lines(GeneratedUnit(500));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(root);
        fs::create_directories(root / "src");
        std::vector<std::string> paths;
        for (int i = 0; i < 50; ++i) {
            paths.push_back((root / "src" / ("unit" + std::to_string(i) + ".pas")).string());
            std::ofstream(paths.back(), std::ios::binary) << text;
        }
        lexorin::store::create_table((root / "p_pascal.db").string(),
                                     lexorin::store::pascal_schema());
        lexorin::store::create_table((root / "p_pasfiles.db").string(),
                                     lexorin::store::file_list_schema());
        lexorin::store::Session session;
        const lexorin::store::TableFolder folder{session, root.string()};
        lexorin::store::PascalRows pascal(folder, lexorin::store::TableFile{"p_pascal.db"});
        lexorin::store::UnitFiles units(folder, lexorin::store::TableFile{"p_pasfiles.db"});
        const UnitScanner scanner(Options());
        lexorin::code::UnitBatch batch({.pascal = pascal, .units = units});
        state.ResumeTiming();
        for (const auto& path : paths) batch.ScanUnit(scanner, path);
    }
    fs::remove_all(root);
    state.SetItemsProcessed(state.iterations() * 50);
}
BENCHMARK(BM_ScanUnits)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
