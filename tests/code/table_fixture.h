#pragma once

#include <memory>
#include <string>

#include "code/translator.h"
#include "scan_helpers.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

namespace lexorin::code::test {

// A project's pascal table and file list in a temporary program directory, opened as the scan
// dialog opens them, and a translator pointed at them.
struct CodeTables {
    CodeTables() {
        store::create_table(tables.file("Demo_English_pascal.db"), store::pascal_schema());
        store::create_table(tables.file("Demo_pasfiles.db"), store::file_list_schema());
        pascal.open();
        pasfiles.open();
        pasfiles.set_index_name(store::order::Name);
        translator = LetterTranslator();
        translator.PascalTable = &pascal;
        translator.UnitsTable = &pasfiles;
    }
    int count(store::Table& table) { return table.record_count(); }

    lexorin::testing::TempDir tables;
    lexorin::testing::TempDir sources;
    store::Session session;
    store::Table pascal{session, tables.path(), "Demo_English_pascal.db"};
    store::Table pasfiles{session, tables.path(), "Demo_pasfiles.db"};
    TTranslator translator;
};

}  // namespace lexorin::code::test
