// strings: the rows of a language's code or forms table.
#include <iostream>

#include "app/command_frame.h"
#include "base/errors.h"
#include "base/file_utils.h"
#include "cli/command_line.h"
#include "editor/row_text.h"
#include "store/translation_fields.h"
#include "store/translation_tables.h"

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
    const std::string file =
        store::table_file_name(project->name(), project->select_language(words[1]), kind);
    store::upgrade_table(context.session, context.home, file, kind);
    store::Table table(context.session, context.home, file);
    table.open();
    store::check_schema(table, store::schema_for(kind));
    if (filter) {
        table.set_filter(*filter);
        table.set_filtered(true);
    }
    // A code row keeps its texts as literal bodies (Don''t); they are printed as they read.
    const bool code = kind == store::TableKind::Pascal;
    auto text_of = [&](const char* field) {
        return escape_field(editor::ShownText(table.text(field), code));
    };
    for (table.first(); !table.eof(); table.next()) {
        std::cout << table.integer(store::field::Index) << "\t"
                  << text_of(store::field::OriginalString) << "\t"
                  << text_of(store::field::TranslateString) << "\t"
                  << table.text(store::field::Ignore) << "\n";
    }
    return 0;
}

}  // namespace

void add_string_commands(std::vector<Command>& commands) {
    commands.push_back({"strings", "PROJECT LANG [--kind code|forms] [--filter EXPR]",
                        "print Index, original, translation and ignore flag, tab-separated",
                        strings});
}

}  // namespace lexorin::cli
