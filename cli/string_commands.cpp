// strings: the rows of a language's code or forms table.
#include <iostream>

#include "app/commands.h"
#include "base/errors.h"
#include "cli/command_line.h"
#include "editor/row_text.h"

namespace lexorin::cli {

namespace {

store::TableKind kind_from_option(const std::optional<std::string>& kind) {
    if (!kind || *kind == "code" || *kind == "pascal") return store::TableKind::Pascal;
    if (*kind == "forms") return store::TableKind::Forms;
    throw UsageError("--kind must be code or forms, not " + *kind);
}

int strings(Context& context, Arguments& args) {
    store::TableKind kind = kind_from_option(args.option("--kind"));
    auto filter = args.option("--filter");
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    // A code row keeps its texts as literal bodies (Don''t); they are printed as they read.
    const bool code = kind == store::TableKind::Pascal;
    auto shown = [code](const std::string& stored) {
        return escape_field(editor::ShownText(stored, code));
    };
    commands::ListStrings(project->handles(), kind, filter, [&](const commands::StringRow& row) {
        std::cout << row.index << "\t" << shown(row.original) << "\t" << shown(row.translation)
                  << "\t" << (row.ignore ? "Wahr" : "Falsch") << "\n";
    });
    return 0;
}

}  // namespace

void add_string_commands(std::vector<Command>& commands) {
    commands.push_back({"strings", "PROJECT LANG [--kind code|forms] [--filter EXPR]",
                        "print Index, original, translation and ignore flag, tab-separated",
                        strings});
}

}  // namespace lexorin::cli
