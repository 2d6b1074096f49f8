#include "project/project_delete.h"

#include <algorithm>
#include <cstdio>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/languages.h"
#include "project/project_lock.h"
#include "project/projects_table.h"
#include "store/table_files.h"

namespace lexorin::project {

using store::table_file_name;
using store::TableKind;

std::string restore_journal_file_name(const std::string& project) {
    return store::table_base_name(project, "", "restore", false) + ".db";
}

std::vector<std::string> project_table_names(const std::string& project,
                                             const std::vector<std::string>& languages) {
    std::vector<std::string> names;
    for (const auto& language : languages)
        for (TableKind kind : {TableKind::Forms, TableKind::Pascal})
            names.push_back(table_file_name(project, language, kind));
    names.push_back(table_file_name(project, "", TableKind::Units));
    names.push_back(table_file_name(project, "", TableKind::PasFiles));
    names.push_back(restore_journal_file_name(project));
    return names;
}

namespace {

// The table names of every other registered project; the cursor is put back where it was.
std::vector<std::string> other_projects_tables(store::Table& projects, const std::string& project) {
    std::vector<std::string> names;
    if (!projects.is_open()) return names;
    store::Bookmark mark = projects.bookmark();
    for (projects.first(); !projects.eof(); projects.next()) {
        std::string name = projects.text(field::Name);
        if (name == project) continue;
        auto theirs = project_table_names(name, decode_list(projects.text(field::Languages)));
        names.insert(names.end(), theirs.begin(), theirs.end());
    }
    if (mark.valid && projects.bookmark_valid(mark)) projects.go_to_bookmark(mark);
    return names;
}

}  // namespace

ProjectDeletion DeleteProjectTables(store::TDaten& daten, store::Table& projects,
                                    const std::string& project,
                                    const std::vector<std::string>& languages) {
    ProjectDeletion result;
    result.tables_deleted = true;
    // No handle may hold a table about to go: the shared ones are moved to the templates,
    // which are only opened here (emptying them would need a writable directory).
    daten.close_all();
    daten.point(daten.tblForms, store::kFormsTemplate);
    daten.point(daten.tblUnits, store::kUnitsTemplate);
    daten.point(daten.tblPascal, store::kPascalTemplate);
    daten.point(daten.tblPasFiles, store::kPasFilesTemplate);

    std::vector<std::string> others = other_projects_tables(projects, project);
    const std::string& dir = daten.program_directory();
    for (const auto& name : project_table_names(project, languages)) {
        bool shared = std::any_of(others.begin(), others.end(),
                                  [&](const std::string& o) { return equal_no_case(o, name); });
        if (shared) {
            result.kept.push_back(name);
            continue;
        }
        auto files = store::table_files(dir, name);
        auto failed = delete_table_files(dir, name);
        for (const auto& file : files) {
            bool left = std::any_of(failed.begin(), failed.end(), [&](const std::string& f) {
                return f.compare(0, file.size() + 1, file + ":") == 0;
            });
            if (!left) result.removed.push_back(file);
        }
        result.failed.insert(result.failed.end(), failed.begin(), failed.end());
    }
    return result;
}

ProjectDeletion DeleteProject(store::TDaten& daten, store::Table& projects, LanguageList& languages,
                              Reporter& reporter) {
    ProjectDeletion result;
    if (!reporter.confirm("This function deletes your translation project. Proceed?"))
        return result;
    if (!projects.is_open() || !projects.has_current())
        throw Error("There is no project to delete.");
    const std::string project = projects.text(field::Name);
    ProjectLock lock(daten.program_directory(), project);
    const std::vector<std::string> project_languages = decode_list(projects.text(field::Languages));

    try {
        projects.edit();
        projects.delete_record();
    } catch (const Error& e) {
        if (projects.state() != store::Table::State::Browse) projects.cancel();
        throw Error("The project " + project + " could not be deleted: " + e.what());
    }
    result.row_deleted = true;
    // A project that is gone needs no lock file.
    std::remove(project_lock_path(daten.program_directory(), project).c_str());
    // The window shows the row that is now current.
    languages.fill(projects.has_current() ? projects.text(field::Languages) : std::string());

    if (!reporter.confirm("Do you also want to delete your translation files?")) return result;
    ProjectDeletion tables = DeleteProjectTables(daten, projects, project, project_languages);
    tables.row_deleted = true;
    if (!tables.failed.empty()) {
        std::string text = "These files could not be deleted:";
        for (const auto& f : tables.failed) text += "\r" + f;
        reporter.warning(text);
    }
    if (!tables.kept.empty()) {
        std::string text = "These tables are also those of another project and were kept:";
        for (const auto& k : tables.kept) text += "\r" + join_path(daten.program_directory(), k);
        reporter.warning(text);
    }
    return tables;
}

}  // namespace lexorin::project
