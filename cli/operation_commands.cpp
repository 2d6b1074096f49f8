// backup, status, project delete, export-po, import-po and check: the project operations.
#include <iostream>
#include <optional>

#include "app/commands.h"
#include "base/code_page.h"
#include "base/errors.h"
#include "base/text_utils.h"
#include "cli/command_line.h"
#include "project/translation_checks.h"

namespace lexorin::cli {

namespace {

// The code page of the PO exchange: the one --code-page names, else the project's.
CodePage exchange_code_page(const std::optional<std::string>& option,
                            const commands::OpenedProject& project) {
    return option ? CodePage(*option) : project.code_page();
}

int backup(Context& context, Arguments& args) {
    auto words = args.positional(1);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    const auto result = commands::Backup(project->handles(), context.reporter);
    if (!result) return 1;
    context.reporter.information(result->message);
    std::cerr << result->added << " files added, " << result->replaced << " replaced, "
              << result->failures.size() << " left out.\n";
    // A file left out is a failure the last line names, without the "Backup: " of its warning.
    std::vector<std::string> reasons;
    for (const auto& failure : result->failures) reasons.push_back(failure.substr(8));
    return report_failures(reasons,
                           static_cast<size_t>(result->added + result->replaced) + reasons.size(),
                           "files could not be backed up");
}

int status(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    auto advice = commands::WhatNow(project->handles(), context.reporter);
    if (!advice) return 1;
    context.reporter.end_live_line();
    std::cout << terminal_text(advice->advice) << "\n";
    return 0;
}

// Answers the question about the table files by --with-tables; the rest goes to the terminal.
class TablesQuestion : public Reporter {
  public:
    TablesQuestion(Reporter& inner, bool with_tables) : inner_(inner), with_tables_(with_tables) {}
    void status(const std::string& t) override { inner_.status(t); }
    void progress(int d, int t, const std::string& i) override { inner_.progress(d, t, i); }
    void still_working() override { inner_.still_working(); }
    void error(const std::string& t) override { inner_.error(t); }
    void warning(const std::string& t) override { inner_.warning(t); }
    void information(const std::string& t) override { inner_.information(t); }
    bool confirm(const std::string& question) override {
        if (question == "Do you also want to delete your translation files?") {
            inner_.information(question + (with_tables_ ? " [yes: --with-tables]" : " [no]"));
            return with_tables_;
        }
        return inner_.confirm(question);
    }
    std::string ask_text(const std::string& c, const std::string& p,
                         const std::string& i) override {
        return inner_.ask_text(c, p, i);
    }

  private:
    Reporter& inner_;
    bool with_tables_;
};

int project_delete(Context& context, Arguments& args) {
    bool with_tables = args.flag("--with-tables");
    auto words = args.positional(1);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    TablesQuestion reporter(context.reporter, with_tables);
    auto result = commands::DeleteProject(project->handles(), reporter);
    if (!result.row_deleted) {
        std::cerr << "Nothing deleted.\n";
        return 1;
    }
    std::cerr << "Project " << words[0] << " deleted";
    if (result.tables_deleted) std::cerr << ", " << result.removed.size() << " table files removed";
    std::cerr << ".\n";
    return result.failed.empty() ? 0 : 1;
}

int export_po(Context& context, Arguments& args) {
    const auto code_page_name = args.option("--code-page");
    auto words = args.positional(3);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    const CodePage code_page = exchange_code_page(code_page_name, *project);
    project->select_language(words[1]);
    auto result = commands::ExportPo(project->handles(), words[2], code_page, context.reporter);
    for (const auto& note : result.notes) context.reporter.warning(note);
    context.reporter.information(result.message);
    return 0;
}

int import_po(Context& context, Arguments& args) {
    const auto code_page_name = args.option("--code-page");
    auto words = args.positional(3);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    const CodePage code_page = exchange_code_page(code_page_name, *project);
    project->select_language(words[1]);
    auto result = commands::ImportPo(project->handles(), words[2], code_page, context.reporter);
    for (const auto& line : result.not_applied) context.reporter.warning(line);
    context.reporter.information(result.message);
    return 0;
}

int check(Context& context, Arguments& args) {
    const bool spelling = args.flag("--spelling");
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    auto problems = commands::Check(project->handles(), context.reporter, spelling);
    context.reporter.end_live_line();
    for (const auto& p : problems)
        std::cout << project::table_kind_label(p.table) << "\t" << p.index << "\t"
                  << project::check_kind_name(p.finding.kind) << "\t"
                  << escape_field(p.finding.detail) << "\n";
    std::cerr << problems.size() << (problems.size() == 1 ? " problem" : " problems")
              << " found.\n";
    return problems.empty() ? 0 : 1;
}

}  // namespace

void add_operation_commands(std::vector<Command>& commands) {
    commands.push_back({"backup", "PROJECT",
                        "save the project's .pas and .dfm files into PROJECT.zip in the program "
                        "directory",
                        backup});
    commands.push_back({"status", "PROJECT LANG",
                        "count the strings of a language, note the check and print suggestions",
                        status});
    commands.push_back({"project delete", "NAME [--with-tables]",
                        "delete a project (asks first; --yes agrees), with --with-tables also its "
                        "tables",
                        project_delete});
    commands.push_back(
        {"export-po", "PROJECT LANG FILE [--code-page CP]",
         "write a language's strings to a PO file (UTF-8; CP default: the project's)", export_po});
    commands.push_back({"import-po", "PROJECT LANG FILE [--code-page CP]",
                        "take the translations of a PO file whose originals still match",
                        import_po});
    commands.push_back({"check", "PROJECT LANG [--spelling]",
                        "print translations whose placeholders, accelerators, blanks or line "
                        "breaks differ, with --spelling also unknown words; exit 1 if any",
                        check});
}

}  // namespace lexorin::cli
