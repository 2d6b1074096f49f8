#include "project/languages.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/transcopy.h"

namespace lexorin::project {

using store::table_file_name;
using store::TableKind;

void EmptyTemplateTables(const store::TableFolder& tables) {
    for (TableKind kind :
         {TableKind::Forms, TableKind::Units, TableKind::Pascal, TableKind::PasFiles}) {
        store::Table table(tables.session, tables.directory, store::template_name(kind));
        table.empty();
    }
}

static void copy_rows(const store::TableFolder& tables, Reporter& reporter,
                      const std::string& status, const std::string& from, const std::string& to,
                      TableKind kind) {
    reporter.status(status);
    store::CopyRows(tables.session, tables.directory, from, to, kind, &reporter);
    reporter.status("");
}

namespace {

// The rows of a table, or -1 when it does not exist.
int RowsOf(const store::TableFolder& tables, const std::string& name) {
    if (store::find_file_no_case(tables.directory, name).empty()) return -1;
    store::Table table(tables.session, tables.directory, name);
    table.open();
    return table.record_count();
}

// Creates the language's tables that are missing from the templates and copies into them the
// rows of `source` they lack. Returns the names of the tables it created. Run again on a
// language whose tables a killed command left missing or partial, it completes them.
std::vector<std::string> BuildLanguageTables(const store::TableFolder& tables, Reporter& reporter,
                                             const std::string& project,
                                             const std::string& language,
                                             const std::string& source) {
    const std::string& dir = tables.directory;
    std::vector<std::string> created;
    auto ensure = [&](TableKind kind, const std::string& target) {
        if (!store::find_file_no_case(dir, target).empty()) return;
        store::CopyTableFile(tables.session, dir, store::template_name(kind), dir, target);
        created.push_back(target);
    };
    const std::string forms_table = table_file_name(project, language, TableKind::Forms);
    const std::string pascal_table = table_file_name(project, language, TableKind::Pascal);
    ensure(TableKind::Forms, forms_table);
    ensure(TableKind::Units, table_file_name(project, language, TableKind::Units));
    if (!source.empty())
        copy_rows(tables, reporter, "Copying forms from language " + source,
                  table_file_name(project, source, TableKind::Forms), forms_table,
                  TableKind::Forms);
    ensure(TableKind::Pascal, pascal_table);
    if (!source.empty())
        copy_rows(tables, reporter, "Copying code language " + source,
                  table_file_name(project, source, TableKind::Pascal), pascal_table,
                  TableKind::Pascal);
    ensure(TableKind::PasFiles, table_file_name(project, language, TableKind::PasFiles));
    return created;
}

void StoreLanguageList(store::Table& projects, const std::vector<std::string>& list) {
    try {
        projects.edit();
        projects.set_text(field::Languages, encode_list(list));
        projects.post();
    } catch (...) {
        projects.cancel();
        throw;
    }
}

// A language already listed: its tables are completed when a killed command left them missing
// or partial; a complete language is a duplicate.
LanguageAddition CompleteLanguage(const store::TableFolder& tables, store::Table& projects,
                                  LanguageList& languages, const std::vector<std::string>& list,
                                  const std::string& language, Reporter& reporter) {
    const std::string project = projects.text(field::Name);
    std::string source;
    for (const auto& other : list)
        if (other != language) {
            source = other;
            break;
        }
    const std::string forms_table = table_file_name(project, language, TableKind::Forms);
    const std::string pascal_table = table_file_name(project, language, TableKind::Pascal);
    const int forms_before = RowsOf(tables, forms_table);
    const int pascal_before = RowsOf(tables, pascal_table);
    const bool created = !BuildLanguageTables(tables, reporter, project, language, source).empty();
    if (!created && RowsOf(tables, forms_table) == forms_before &&
        RowsOf(tables, pascal_table) == pascal_before)
        throw Error("This language already exists for the project.");
    languages.fill(projects.text(field::Languages));
    return {LanguageAddition::Kind::Completed, language};
}

}  // namespace

LanguageAddition AddLanguage(const store::TableFolder& tables, store::Table& projects,
                             LanguageList& languages, const std::string& answer,
                             Reporter& reporter) {
    EmptyTemplateTables(tables);
    if (answer.empty()) return {};
    const std::string project = projects.text(field::Name);
    std::vector<std::string> list = decode_list(projects.text(field::Languages));
    for (const auto& existing : list)
        if (equal_no_case(existing, answer))
            return CompleteLanguage(tables, projects, languages, list, existing, reporter);
    check_file_name_part(answer, "language");

    const std::string& dir = tables.directory;
    // Table names of different projects can meet ("A_b" + "c" and "A" + "b_c"); never take over
    // tables that are already there.
    for (TableKind kind : {TableKind::Forms, TableKind::Pascal}) {
        const std::string name = table_file_name(project, answer, kind);
        if (!store::find_file_no_case(dir, name).empty())
            throw Error("The table " + join_path(dir, name) +
                        " already exists, perhaps for another project; the language " + answer +
                        " was not added.");
    }

    // The list entry comes first: a command killed while the tables are made leaves a listed
    // language that adding it again completes, or that can be deleted. A failure seen here
    // takes back both.
    const std::string source = list.empty() ? std::string() : list.front();
    list.push_back(answer);
    StoreLanguageList(projects, list);
    languages.fill(projects.text(field::Languages));
    try {
        BuildLanguageTables(tables, reporter, project, answer, source);
    } catch (...) {
        TakeBackLanguage(tables, projects, languages, answer);
        throw;
    }
    return {LanguageAddition::Kind::Added, answer};
}

void TakeBackLanguage(const store::TableFolder& tables, store::Table& projects,
                      LanguageList& languages, const std::string& language) {
    const std::string project = projects.text(field::Name);
    EmptyTemplateTables(tables);
    for (TableKind kind : {TableKind::Forms, TableKind::Pascal})
        delete_table_files(tables.directory, table_file_name(project, language, kind));
    std::vector<std::string> list = decode_list(projects.text(field::Languages));
    list.erase(std::remove(list.begin(), list.end(), language), list.end());
    try {
        StoreLanguageList(projects, list);
    } catch (...) {
        // The list keeps the language, whose missing tables adding it again completes.
    }
    languages.fill(projects.text(field::Languages));
}

std::vector<std::string> delete_table_files(const std::string& directory,
                                            const std::string& file_name) {
    std::vector<std::string> failed;
    for (const auto& file : store::table_files(directory, file_name))
        if (::unlink(file.c_str()) != 0) failed.push_back(file + ": " + std::strerror(errno));
    return failed;
}

std::vector<std::string> DeleteLanguage(const store::TableFolder& tables, store::Table& projects,
                                        LanguageList& languages, Reporter& reporter) {
    if (!languages.has_selection()) {
        reporter.error("You did not select a language.");
        return {};
    }
    const std::string project = projects.text(field::Name);
    const std::string language = languages.selected_language();
    if (!reporter.confirm("With this function you delete ALL the translation for the current "
                          "project and the language " +
                          language + "!\r\rProceed?"))
        return {};
    std::string dir = tables.directory;
    if (dir.empty() || dir.back() != '/') dir += '/';
    if (!reporter.confirm("ALL database files like " + dir + project + "_" + language + "_" +
                          "*.* will be deleted!\r\rProceed?"))
        return {};

    EmptyTemplateTables(tables);
    // Only this language's own tables: a pattern would also take the tables of a language whose
    // name extends this one's with "_".
    std::vector<std::string> failed;
    for (TableKind kind : {TableKind::Forms, TableKind::Pascal}) {
        auto left = delete_table_files(dir, table_file_name(project, language, kind));
        failed.insert(failed.end(), left.begin(), left.end());
    }

    languages.items.erase(languages.items.begin() + languages.selected);
    languages.selected = languages.items.size() == 1 ? 0 : -1;
    try {
        projects.edit();
        projects.set_text(field::Languages, encode_list(languages.items));
        projects.post();
    } catch (const Error&) {
        projects.cancel();
    }
    if (!failed.empty()) {
        std::string text = "These files could not be deleted:";
        for (const auto& f : failed) text += "\r" + f;
        reporter.warning(text);
    }
    return failed;
}

}  // namespace lexorin::project
