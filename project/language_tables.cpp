#include "project/language_tables.h"

namespace lexorin {

void PrepareLanguageTables(store::TDaten& daten, const std::string& project,
                           const std::string& language, bool codeMode) {
    using store::table_file_name;
    using store::TableKind;
    daten.tblForms.close();
    store::upgrade_table(daten.session(), daten.program_directory(),
                         table_file_name(project, language, TableKind::Forms), TableKind::Forms);
    daten.point(daten.tblForms, table_file_name(project, language, TableKind::Forms));
    daten.point(daten.tblUnits, table_file_name(project, language,
                                                codeMode ? TableKind::PasFiles : TableKind::Units));
    daten.point(daten.tblPascal, table_file_name(project, language, TableKind::Pascal));
    daten.point(daten.tblPasFiles, table_file_name(project, language, TableKind::PasFiles));
    for (auto* table : {&daten.tblForms, &daten.tblPascal})
        store::check_schema(
            *table,
            store::schema_for(table == &daten.tblForms ? TableKind::Forms : TableKind::Pascal));
    for (auto* table : {&daten.tblUnits, &daten.tblPasFiles})
        store::check_schema(*table, store::file_list_schema());
    if (daten.tblPasFiles.record_count() == 0) {
        daten.tblPasFiles.append_record({0, store::kShowAll});
        daten.tblPasFiles.flush();
    }
}

}  // namespace lexorin
