#include "project/languages.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/errors.h"
#include "app/file_utils.h"
#include "app/text_utils.h"
#include "project/projects_table.h"
#include "store/transcopy.h"

namespace lexorin::project {

using store::table_file_name;
using store::TableKind;

void ResetTemplateTables(store::TDaten& daten) {
    struct Pair {
        store::Table* table;
        TableKind kind;
    };
    for (Pair p : {Pair{&daten.tblForms, TableKind::Forms}, Pair{&daten.tblUnits, TableKind::Units},
                   Pair{&daten.tblPascal, TableKind::Pascal},
                   Pair{&daten.tblPasFiles, TableKind::PasFiles}}) {
        p.table->close();
        p.table->set_table_name(store::template_name(p.kind));
        p.table->set_directory(daten.program_directory());
        p.table->empty();
        p.table->open();
    }
}

static void copy_rows(store::TDaten& daten, Reporter& reporter, const std::string& status,
                      const std::string& from, const std::string& to, TableKind kind) {
    reporter.status(status);
    store::CopyRows(daten.session(), daten.program_directory(), from, to, kind, &reporter);
    reporter.status("");
}

bool AddLanguage(store::TDaten& daten, store::Table& projects, LanguageList& languages,
                 const std::string& answer, Reporter& reporter) {
    ResetTemplateTables(daten);
    if (answer.empty()) return false;
    const std::string project = projects.text(field::Name);
    std::vector<std::string> list = decode_list(projects.text(field::Languages));
    for (const auto& existing : list)
        if (equal_no_case(existing, answer))
            throw Error("This language already exists for the project.");
    check_file_name_part(answer, "language");

    const std::string& dir = daten.program_directory();
    std::string forms_table = table_file_name(project, answer, TableKind::Forms);
    std::string pascal_table = table_file_name(project, answer, TableKind::Pascal);
    std::string units_table = table_file_name(project, answer, TableKind::Units);
    std::string pasfiles_table = table_file_name(project, answer, TableKind::PasFiles);
    // Table names of different projects can meet ("A_b" + "c" and "A" + "b_c"); never take over
    // tables that are already there.
    for (const auto& name : {forms_table, pascal_table})
        if (!store::find_file_no_case(dir, name).empty())
            throw Error("The table " + join_path(dir, name) +
                        " already exists, perhaps for another project; the language " + answer +
                        " was not added.");

    std::string source = list.empty() ? std::string() : list.front();
    list.push_back(answer);
    try {
        projects.edit();
        projects.set_text(field::Languages, encode_list(list));
        projects.post();
    } catch (const Error&) {
        projects.cancel();  // a failed store of the list is dropped, as the window does
    }
    languages.fill(projects.text(field::Languages));

    auto copy_template = [&](TableKind kind, const std::string& target) {
        store::CopyTableFile(daten.session(), dir, store::template_name(kind), dir, target);
    };
    copy_template(TableKind::Forms, forms_table);
    if (store::find_file_no_case(dir, units_table).empty())
        copy_template(TableKind::Units, units_table);
    if (!source.empty())
        copy_rows(daten, reporter, "Copying forms from language " + source,
                  table_file_name(project, source, TableKind::Forms), forms_table,
                  TableKind::Forms);
    copy_template(TableKind::Pascal, pascal_table);
    if (!source.empty())
        copy_rows(daten, reporter, "Copying code language " + source,
                  table_file_name(project, source, TableKind::Pascal), pascal_table,
                  TableKind::Pascal);
    if (store::find_file_no_case(dir, pasfiles_table).empty())
        copy_template(TableKind::PasFiles, pasfiles_table);
    AddStatusLine(projects, "Language added: " + answer, "");
    return true;
}

std::vector<std::string> delete_table_files(const std::string& directory,
                                            const std::string& file_name) {
    std::vector<std::string> failed;
    for (const auto& file : store::table_files(directory, file_name))
        if (::unlink(file.c_str()) != 0) failed.push_back(file + ": " + std::strerror(errno));
    return failed;
}

std::vector<std::string> DeleteLanguage(store::TDaten& daten, store::Table& projects,
                                        LanguageList& languages, Reporter& reporter) {
    if (!languages.has_selection()) {
        reporter.error("You did not select a language.");
        return {};
    }
    if (!reporter.confirm("With this function you delete ALL the translation for the current "
                          "project and this language!\r\rProceed?"))
        return {};
    const std::string project = projects.text(field::Name);
    const std::string language = languages.selected_language();
    std::string dir = daten.program_directory();
    if (dir.empty() || dir.back() != '/') dir += '/';
    if (!reporter.confirm("ALL database files like " + dir + project + "_" + language + "_" +
                          "*.* will be deleted!\r\rProceed?"))
        return {};

    daten.close_all();
    ResetTemplateTables(daten);
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
