#include "project/project_delete.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
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

// The table names of every registered project but `except`; the cursor is put back where it was.
std::vector<std::string> registered_tables(store::Table& projects, const std::string& except) {
    std::vector<std::string> names;
    if (!projects.is_open()) return names;
    store::Bookmark mark = projects.bookmark();
    for (projects.first(); !projects.eof(); projects.next()) {
        std::string name = projects.text(field::Name);
        if (name == except) continue;
        auto theirs = project_table_names(name, decode_list(projects.text(field::Languages)));
        names.insert(names.end(), theirs.begin(), theirs.end());
    }
    if (mark.valid && projects.bookmark_valid(mark)) projects.go_to_bookmark(mark);
    return names;
}

bool is_registered(const std::vector<std::string>& tables, const std::string& name) {
    return std::any_of(tables.begin(), tables.end(),
                       [&](const std::string& t) { return equal_no_case(t, name); });
}

// Removes one table's files. The engine's companions (journals) go before the table file itself:
// a journal left without its table would be taken by a new table of that name for its own.
void remove_table(const std::string& dir, const std::string& name, ProjectDeletion& result) {
    std::vector<std::string> files = store::table_files(dir, name);
    std::stable_partition(files.begin(), files.end(), [&](const std::string& file) {
        return !equal_no_case(file_name_of(file), name);
    });
    for (const auto& file : files) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT)
            result.removed.push_back(file);
        else
            result.failed.push_back(file + ": " + std::strerror(errno));
    }
}

// The table a file belongs to: its name without an engine companion's "-journal" and the like.
std::string table_of(const std::string& file_name) {
    const std::size_t companion = upper_case(file_name).find(".DB-");
    return companion == std::string::npos ? file_name : file_name.substr(0, companion + 3);
}

// True when `table` is named as a table of the project `name` is: its units, pasfiles or restore
// journal table, or the forms or pascal table of some language.
bool is_table_name_of(const std::string& table, const std::string& name) {
    for (const auto& own : project_table_names(name, {}))
        if (equal_no_case(table, own)) return true;
    const std::string prefix = upper_case(name) + "_";
    const std::string upper = upper_case(table);
    if (!starts_with(upper, prefix)) return false;
    for (TableKind kind : {TableKind::Forms, TableKind::Pascal}) {
        const std::string suffix = "_" + upper_case(store::kind_name(kind)) + ".DB";
        if (upper.size() > prefix.size() + suffix.size() && ends_with(upper, suffix)) return true;
    }
    return false;
}

}  // namespace

ProjectDeletion DeleteProjectTables(const store::TableFolder& tables, store::Table& projects,
                                    const std::string& project,
                                    const std::vector<std::string>& languages, Reporter* status) {
    ProjectDeletion result;
    result.tables_deleted = true;
    const std::vector<std::string> others = registered_tables(projects, project);
    for (const auto& name : project_table_names(project, languages)) {
        if (is_registered(others, name)) {
            result.kept.push_back(name);
            continue;
        }
        if (status) status->status("Deleting " + join_path(tables.directory, name));
        remove_table(tables.directory, name, result);
    }
    return result;
}

ProjectDeletion DeleteProject(const store::TableFolder& tables, store::Table& projects,
                              LanguageList& languages, Reporter& reporter) {
    ProjectDeletion result;
    if (!reporter.confirm("This function deletes your translation project. Proceed?"))
        return result;
    if (!projects.is_open() || !projects.has_current())
        throw Error("There is no project to delete.");
    const std::string project = projects.text(field::Name);
    const std::vector<std::string> project_languages = decode_list(projects.text(field::Languages));
    const bool with_tables = reporter.confirm("Do you also want to delete your translation files?");

    // The tables go first and the row last: a deletion cut short (a kill, a power cut) leaves
    // the row, and the same command run again removes what is left. The other way round, the
    // tables would stay with nothing naming them, for a new project of the name to take over.
    if (with_tables) {
        require_writable_file(projects.path(), "The project table");
        result = DeleteProjectTables(tables, projects, project, project_languages, &reporter);
    }
    reporter.status("Deleting the project " + project);
    try {
        projects.edit();
        projects.delete_record();
    } catch (const Error& e) {
        if (projects.state() != store::Table::State::Browse) projects.cancel();
        throw Error("The project " + project + " could not be deleted: " + e.what());
    }
    result.row_deleted = true;
    reporter.status("");
    // A project that is gone needs no lock file.
    std::remove(project_lock_path(tables.directory, project).c_str());
    // The window shows the row that is now current.
    languages.fill(projects.has_current() ? projects.text(field::Languages) : std::string());

    if (!result.failed.empty()) {
        std::string text = "These files could not be deleted:";
        for (const auto& f : result.failed) text += "\r" + f;
        reporter.warning(text);
    }
    if (!result.kept.empty()) {
        std::string text = "These tables are also those of another project and were kept:";
        for (const auto& k : result.kept) text += "\r" + join_path(tables.directory, k);
        reporter.warning(text);
    }
    return result;
}

std::vector<std::string> LeftoverProjectFiles(const std::string& program_directory,
                                              store::Table& projects, const std::string& name) {
    const std::vector<std::string> registered = registered_tables(projects, {});
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(
             program_directory.empty() ? std::string(".") : program_directory, ec)) {
        std::error_code kind_error;
        if (entry.is_directory(kind_error)) continue;
        const std::string file = entry.path().filename().string();
        const std::string table = table_of(file);
        if (is_table_name_of(table, name) && !is_registered(registered, table))
            found.push_back(join_path(program_directory, file));
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> LeftoverLanguages(const std::vector<std::string>& files,
                                           const std::string& name) {
    const std::string forms_suffix = "_" + std::string(store::kind_name(TableKind::Forms)) + ".db";
    const std::string prefix = upper_case(name) + "_";
    std::vector<std::string> languages;
    for (const auto& file : files) {
        const std::string table = file_name_of(file);
        const std::string upper = upper_case(table);
        if (!starts_with(upper, prefix) || !ends_with(upper, upper_case(forms_suffix)) ||
            upper.size() <= prefix.size() + forms_suffix.size())
            continue;
        const std::string language =
            table.substr(prefix.size(), table.size() - prefix.size() - forms_suffix.size());
        const std::string pascal = table_file_name(name, language, TableKind::Pascal);
        if (std::any_of(files.begin(), files.end(), [&](const std::string& other) {
                return equal_no_case(file_name_of(other), pascal);
            }))
            languages.push_back(language);
    }
    return languages;
}

}  // namespace lexorin::project
