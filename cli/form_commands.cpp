// form-to-text, text-to-form, scan-forms and write-forms.
#include <filesystem>
#include <iostream>

#include "app/commands.h"
#include "app/report_text.h"
#include "base/text_utils.h"
#include "cli/command_line.h"
#include "codec/form_conversion.h"

namespace lexorin::cli {

namespace {

// The output is written beside itself and renamed into place, which would replace a link (such
// as /dev/stdout) or a device by a plain file: only regular files, or new ones, are accepted.
void require_regular_output(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::symlink_status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw Error("Cannot write " + path + ": it is not a regular file");
}

int form_to_text(Context&, Arguments& args) {
    auto words = args.positional(2);
    require_regular_output(words[1]);
    if (codec::FormFileToText(words[0], words[1]))
        std::cerr << words[0] << " is stored as text; copied unchanged\n";
    return 0;
}

int text_to_form(Context&, Arguments& args) {
    auto words = args.positional(2);
    require_regular_output(words[1]);
    codec::TextFileToForm(words[0], words[1], false);
    return 0;
}

int scan_forms(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    const auto report = commands::ScanForms(project->handles(), context.reporter);
    if (!report) return 1;
    context.reporter.end_live_line();
    context.reporter.information("Scanned.");
    std::cerr << commands::FormScanCounts(*report) << "\n";
    for (const auto& line : commands::SkippedLines(report->skipped, commands::Reasons::OnOneLine))
        std::cerr << "  skipped " << line << "\n";
    return report_failed_files(report->skipped,
                               report->skipped.size() + static_cast<size_t>(report->forms_scanned),
                               "forms could not be scanned");
}

int write_forms(Context& context, Arguments& args) {
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    const auto report = commands::WriteForms(project->handles(), context.reporter);
    if (!report) return 1;
    context.reporter.end_live_line();
    std::cerr << report->written.size() << " forms written, " << report->strings_replaced
              << " strings translated, " << report->failed.size() << " forms failed\n";
    // A script must notice a form left without its new translation.
    return report->failed.empty() ? 0 : 1;
}

}  // namespace

void add_form_commands(std::vector<Command>& commands) {
    commands.push_back({"form-to-text", "IN OUT",
                        "write the text form of a form file or a .tra.res (a text form is copied)",
                        form_to_text});
    commands.push_back({"text-to-form", "IN OUT",
                        "write a binary form file, resource header included, from a form text",
                        text_to_form});
    commands.push_back({"scan-forms", "PROJECT LANG",
                        "scan the form files into the forms tables of every language", scan_forms});
    commands.push_back({"write-forms", "PROJECT LANG",
                        "write the translated form <form>.tra.res beside every form file",
                        write_forms});
}

}  // namespace lexorin::cli
