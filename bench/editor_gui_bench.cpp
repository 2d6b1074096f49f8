// The translation editor on a language of 200,000 strings: opening, switching each filter and
// searching. Runs on the offscreen platform: QT_QPA_PLATFORM=offscreen build/bin/editor_gui_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QTableView>
#include <filesystem>
#include <memory>

#include "editor/string_model_qt.h"
#include "editor/translation_editor.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

using namespace lexorin;

namespace {

constexpr int kRows = 200000;

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
        for (int i = 0; i < kRows; ++i)
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

void BM_OpenEditor200k(benchmark::State& state) {
    auto tables = language().tables();
    for (auto _ : state) {
        store::Session session;
        gui::TranslationEditor editor(session, tables, true, 5, nullptr);
        editor.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(editor.current_model()->rowCount());
    }
}
BENCHMARK(BM_OpenEditor200k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FilterSwitch200k(benchmark::State& state) {
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
BENCHMARK(BM_FilterSwitch200k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Search200k(benchmark::State& state) {
    store::Session session;
    gui::TranslationEditor editor(session, language().tables(), true, 5, nullptr);
    editor.show();
    QApplication::processEvents();
    for (auto _ : state) {
        // A match near the end: the search passes almost every row.
        editor.current_grid()->setCurrentIndex(editor.current_model()->index(0, 0));
        bool found = editor.locate_next(store::field::OriginalString, "string number 199990");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Search200k)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    language();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
