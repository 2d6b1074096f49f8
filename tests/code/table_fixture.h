#pragma once

#include <memory>
#include <string>
#include <vector>

#include "code/unit_batch.h"
#include "code/unit_scanner.h"
#include "scan_helpers.h"
#include "store/language_copies.h"
#include "store/scan_batch_journal.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

namespace lexorin::code::test {

// The project's unit files as the tests make them: without the "(Show all)" row the program's
// list gets when opened empty, so that the rows counted are the units'.
class TestUnitFiles : public store::FileList {
  public:
    TestUnitFiles(const store::TableFolder& folder, const std::string& file_name)
        : FileList(folder, file_name, store::TableKind::PasFiles) {}
};

// A project's pascal table and unit files in a temporary program directory, the scanner and a
// batch of one unit writing to them. The tests read the tables through handles of their own.
struct CodeTables {
    // What the batch is made with besides the two tables; the scanner's options stay.
    struct BatchSettings {
        size_t size = 1;
        std::vector<store::LanguageTable>* other_languages = nullptr;
        RestoreJournal* restore_journal = nullptr;
        store::ScanBatchJournal* batch_journal = nullptr;
        Reporter* reporter = nullptr;
    };

    CodeTables() {
        store::create_table(tables.file("Demo_English_pascal.db"), store::pascal_schema());
        store::create_table(tables.file("Demo_pasfiles.db"), store::file_list_schema());
        pascal.open();
        pasfiles.open();
        pasfiles.set_index_name(store::order::Name);
        pascal_rows = std::make_unique<store::PascalRows>(
            folder(), store::TableFile{"Demo_English_pascal.db"});
        unit_files = std::make_unique<TestUnitFiles>(folder(), "Demo_pasfiles.db");
        NewBatch({});
    }
    int count(store::Table& table) { return table.record_count(); }
    store::TableFolder folder() { return {session, tables.path()}; }
    // The batch that ScanUnit fills from now on; the one before is dropped.
    UnitBatch& NewBatch(const BatchSettings& settings) {
        batch.reset();
        batch =
            std::make_unique<UnitBatch>(UnitBatchTables{.pascal = *pascal_rows,
                                                        .units = *unit_files,
                                                        .other_languages = settings.other_languages,
                                                        .restore_journal = settings.restore_journal,
                                                        .batch_journal = settings.batch_journal},
                                        settings.size, settings.reporter);
        return *batch;
    }
    int ScanUnit(const std::string& path) { return batch->ScanUnit(scanner, path); }

    lexorin::testing::TempDir tables;
    lexorin::testing::TempDir sources;
    store::Session session;
    store::Table pascal{session, tables.path(), "Demo_English_pascal.db"};
    store::Table pasfiles{session, tables.path(), "Demo_pasfiles.db"};
    std::unique_ptr<store::PascalRows> pascal_rows;
    std::unique_ptr<TestUnitFiles> unit_files;
    UnitScanner scanner{LetterOptions()};
    std::unique_ptr<UnitBatch> batch;
};

}  // namespace lexorin::code::test
