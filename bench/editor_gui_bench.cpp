// The translation editor on a language of many strings (200,000 unless told): opening, switching
// each filter and searching. Runs on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bin/editor_gui_bench [--rows=N] [benchmark options]
// --rows=N (or the environment variable LEXORIN_BENCH_ROWS=N) sets the number of strings; the
// search looks for the string ten rows before the last, so that it passes almost every row.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QTableView>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/string_model_qt.h"
#include "editor/translation_editor.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

using namespace lexorin;

namespace {

int rows = 200000;  // set from --rows or LEXORIN_BENCH_ROWS before the tables are made

// The tables of one language, made once for all benchmarks.
struct Language {
    Language() {
        dir = std::filesystem::temp_directory_path() /
              ("lexorin-editor-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        store::create_table((dir / "B_L_pascal.db").string(), store::pascal_schema());
        store::create_table((dir / "B_L_forms.db").string(), store::forms_schema());
        store::create_table((dir / "B_units.db").string(), store::file_list_schema());
        store::create_table((dir / "B_pasfiles.db").string(), store::file_list_schema());
        store::Session session;
        store::Table pascal(session, dir.string(), "B_L_pascal.db");
        pascal.open();
        for (int i = 0; i < rows; ++i)
            pascal.append_record({0, "String number " + std::to_string(i), i % 3 ? "" : "Text",
                                  i % 500, i % 3 == 0, i % 11 == 0, "  S := 'String';\r", i, i, 0});
        pascal.flush();
    }
    ~Language() { std::filesystem::remove_all(dir); }
    gui::EditorTables tables() const {
        return {dir.string(), "B_L_pascal.db", "B_L_forms.db", "B_units.db", "B_pasfiles.db", "B",
                "L"};
    }
    std::filesystem::path dir;
};

Language& language() {
    static Language l;
    return l;
}

void BM_OpenEditor(benchmark::State& state) {
    auto tables = language().tables();
    for (auto _ : state) {
        store::Session session;
        gui::TranslationEditor editor(session, tables, true, 5, nullptr);
        editor.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor.current_model()->rowCount());
    }
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FilterSwitch(benchmark::State& state) {
    store::Session session;
    gui::TranslationEditor editor(session, language().tables(), true, 5, nullptr);
    editor.show();
    QApplication::processEvents();
    QCheckBox* boxes[] = {editor.no_ignored_check, editor.not_translated_check};
    QCheckBox* box = boxes[state.range(0)];
    for (auto _ : state) {
        box->click();  // on
        QApplication::processEvents();
        box->click();  // off again
        QApplication::processEvents();
    }
    state.SetLabel(state.range(0) ? "Not translated only, on and off" : "No ignored, on and off");
}
BENCHMARK(BM_FilterSwitch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first switch on and off in a freshly opened editor: no row list of an earlier switch to
// fall back on.
void BM_FirstFilterSwitch(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        {
            store::Session session;
            gui::TranslationEditor editor(session, language().tables(), true, 5, nullptr);
            editor.show();
            QApplication::processEvents();
            state.ResumeTiming();
            editor.no_ignored_check->click();
            QApplication::processEvents();
            editor.no_ignored_check->click();
            QApplication::processEvents();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetLabel("No ignored, on and off");
}
BENCHMARK(BM_FirstFilterSwitch)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Search(benchmark::State& state) {
    store::Session session;
    gui::TranslationEditor editor(session, language().tables(), true, 5, nullptr);
    editor.show();
    QApplication::processEvents();
    for (auto _ : state) {
        // A match near the end: the search passes almost every row.
        editor.current_grid()->setCurrentIndex(editor.current_model()->index(0, 0));
        bool found = editor.locate_next(store::field::OriginalString,
                                        "string number " + std::to_string(rows - 10));
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// Takes --rows=N out of the arguments, so that the benchmark library does not see it.
void take_row_count(int& argc, char** argv) {
    if (const char* env = std::getenv("LEXORIN_BENCH_ROWS")) rows = std::atoi(env);
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0)
            rows = std::atoi(argv[i] + 7);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (rows < 20) rows = 20;
}

int main(int argc, char** argv) {
    take_row_count(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("rows", std::to_string(rows));
    language();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
