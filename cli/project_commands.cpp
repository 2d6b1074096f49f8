// project add/list/show/set and language add/delete.
#include <unistd.h>

#include <iostream>

#include "app/commands.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "cli/command_line.h"
#include "project/project_delete.h"
#include "project/project_kind.h"
#include "project/projects_table.h"

namespace lexorin::cli {

namespace {

// Directories are stored as absolute paths, so that every command walks the same tree
// whatever the working directory.
std::string absolute_directory(const std::string& dir) {
    std::string out = dir;
    if (!out.empty() && out[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) out = join_path(cwd, out);
    }
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

// Tables a deleted project of the name left would silently become the new project's: refused,
// naming them, so that the user decides (the window asks instead).
void refuse_leftover_tables(const std::string& home, store::Table& projects,
                            const std::string& name) {
    const std::vector<std::string> files = project::LeftoverProjectFiles(home, projects, name);
    if (files.empty()) return;
    std::string list;
    for (const auto& file : files) list += (list.empty() ? "" : ", ") + file;
    throw Error("The program directory already holds table files of a project named " + name +
                ": " + list + ". Remove them (or move them away) before adding the project.");
}

int project_add(Context& context, Arguments& args) {
    project::NewProject p;
    p.recursive = !args.flag("--no-recursive");
    for (const auto& e : args.options("--exclude"))
        p.excluded.push_back(absolute_directory(e) + "/");
    if (const auto kind = args.option("--kind")) p.kind = project::ParseProjectKind(*kind);
    auto words = args.positional(2);
    p.name = words[0];
    p.directory = absolute_directory(words[1]);
    store::Session session;
    project::ProjectsTable data(session);
    project::check_file_name_part(p.name, "project name");
    refuse_leftover_tables(context.home, data.Projects, p.name);
    project::add_project(data.Projects, p);
    std::cerr << "Project " << p.name << " added.\n";
    // A Delphi project starts as projects always have; a Lazarus one says what it got.
    store::Table& row = data.Projects;
    if (project::ProjectKindOf(row) == project::ProjectKind::Lazarus) {
        std::cerr << "Kind Lazarus: units " << row.text(project::field::SourceExtensions)
                  << ", forms " << row.text(project::field::FormsExtension) << ", code page "
                  << row.text(project::field::Ccodepage) << ".\n";
        const std::string build = row.text(project::field::Cbuildcommand);
        if (!build.empty()) std::cerr << "Build command: " << build << "\n";
    }
    return 0;
}

int project_list(Context&, Arguments& args) {
    args.positional(0);
    store::Session session;
    project::ProjectsTable data(session);
    for (const auto& name : project::project_names(data.Projects)) std::cout << name << "\n";
    return 0;
}

int project_show(Context&, Arguments& args) {
    auto words = args.positional(1);
    store::Session session;
    project::ProjectsTable data(session);
    project::require_project(data.Projects, words[0]);
    for (const auto& f : data.Projects.schema().fields) {
        std::string value = data.Projects.text(f.name);
        if (f.type == store::FieldType::Memo) {
            auto lines = SplitLines(value);
            std::cout << f.name << ":";
            if (lines.empty())
                std::cout << "\n";
            else if (lines.size() == 1)
                std::cout << "\t" << escape_field(lines[0]) << "\n";
            else {
                std::cout << "\n";
                for (const auto& l : lines) std::cout << "\t" << escape_field(l) << "\n";
            }
        } else {
            std::cout << f.name << ":\t" << escape_field(value) << "\n";
        }
    }
    return 0;
}

// Memo values are typed with line feeds; the table keeps CR LF between entries.
std::string memo_from_command_line(const std::string& value) {
    return join_crlf(read_text_lines(value));
}

int project_set(Context& context, Arguments& args) {
    auto words = args.positional(3);
    store::Session session;
    project::ProjectsTable data(session);
    store::Table& projects = data.Projects;
    project::require_project(projects, words[0]);
    // A code option may be named without its "C": "kind", "codepage", "buildcommand".
    std::string field_name = words[1];
    if (!projects.has_field(field_name) && projects.has_field("C" + field_name))
        field_name = "C" + field_name;
    if (!projects.has_field(field_name))
        throw UsageError("the Projects table has no field " + field_name);
    store::FieldType type{};
    for (const auto& f : projects.schema().fields)
        if (equal_no_case(f.name, field_name)) type = f.type;
    std::string text = words[2];
    if (equal_no_case(field_name, project::field::Directory)) text = absolute_directory(text);
    commands::FieldValue value = text;
    if (type == store::FieldType::Logical)
        value = parse_yes_no(text);
    else if (type == store::FieldType::Memo)
        value = memo_from_command_line(text);
    commands::SetProjectField(projects, context.home, field_name, value);
    return 0;
}

int language_add(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    if (!commands::AddLanguage(project->handles(), words[1], context.reporter)) {
        std::cerr << "Nothing added.\n";
        return 1;
    }
    std::cerr << "Language " << words[1] << " added to " << words[0] << ".\n";
    return 0;
}

int language_delete(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    const auto result = commands::DeleteLanguage(project->handles(), context.reporter);
    if (!result.deleted) {
        std::cerr << "Nothing deleted.\n";
        return 1;
    }
    return result.failed.empty() ? 0 : 1;
}

}  // namespace

void add_project_commands(std::vector<Command>& commands) {
    commands.push_back({"project add",
                        "NAME DIR [--no-recursive] [--exclude DIR]... [--kind Delphi|Lazarus]",
                        "register a project for the sources in DIR (its kind found there unless "
                        "given)",
                        project_add});
    commands.push_back({"project list", "", "list the registered projects", project_list});
    commands.push_back({"project show", "NAME", "show every field of a project", project_show});
    commands.push_back({"project set", "NAME FIELD VALUE",
                        "set a field of a project (list fields: one entry per line; Ckind "
                        "Delphi|Lazarus brings the kind's defaults)",
                        project_set});
    commands.push_back(
        {"language add", "PROJECT LANG", "add a language and create its tables", language_add});
    commands.push_back({"language delete", "PROJECT LANG",
                        "delete a language with its tables (asks first)", language_delete});
}

}  // namespace lexorin::cli
