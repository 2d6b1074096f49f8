#include "app/command_frame.h"

#include <ctime>

#include "app/text_utils.h"
#include "project/projects_table.h"

namespace lexorin {

namespace field = project::field;

void LanguageList::fill(const std::string& languages_text) {
    items = project::decode_list(languages_text);
    selected = items.size() == 1 ? 0 : -1;
}

bool CheckProjectReady(const store::Table& projects, LanguageList& languages, bool needLanguage,
                       bool requireSelection, Reporter& reporter) {
    bool has_row = projects.is_open() && projects.has_current();
    if (!has_row || projects.text(field::Name).empty() || projects.text(field::Directory).empty()) {
        reporter.error("No project name found. Plase enter a project.");
        return false;
    }
    if (needLanguage && requireSelection && !languages.has_selection()) {
        reporter.error("You did not select a language.");
        return false;
    }
    if (needLanguage && languages.items.empty()) {
        reporter.error("You have to add a language first.");
        return false;
    }
    if (needLanguage && !languages.has_selection()) languages.selected = 0;
    return true;
}

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

std::string short_date_today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    size_t n = std::strftime(buffer, sizeof buffer, "%x", &local);
    return std::string(buffer, n);
}

void AddStatusLine(store::Table& projects, const std::string& message, const std::string& detail,
                   const std::string& date) {
    projects.edit();
    std::vector<std::string> lines = store::SplitLines(projects.text(field::Reserve));
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (starts_with(*it, message)) {
            lines.erase(it);
            break;
        }
    }
    lines.push_back(message + detail + " on " + date);
    projects.set_text(field::Reserve, join_crlf(lines));
    projects.post();
}

}  // namespace lexorin
