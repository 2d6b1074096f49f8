// strings: the rows of a language's code or forms table.
#include <iostream>

#include "base/errors.h"
#include "base/file_utils.h"
#include "cli/command_line.h"
#include "project/projects_table.h"
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
    {
        project::TDataProjects data(context.session);
        project::require_project(data.Projects, words[0]);
        auto languages = project::decode_list(data.Projects.text(project::field::Languages));
        bool known = false;
        for (const auto& l : languages) known = known || l == words[1];
        if (!known) throw Error("The project " + words[0] + " has no language " + words[1] + ".");
    }
    store::upgrade_table(context.session, context.home,
                         store::table_file_name(words[0], words[1], kind), kind);
    store::Table table(context.session, context.home,
                       store::table_file_name(words[0], words[1], kind));
    table.open();
    store::check_schema(table, store::schema_for(kind));
    if (filter) {
        table.set_filter(*filter);
        table.set_filtered(true);
    }
    for (table.first(); !table.eof(); table.next()) {
        std::cout << table.integer("Index") << "\t" << escape_field(table.text("OriginalString"))
                  << "\t" << escape_field(table.text("TranslateString")) << "\t"
                  << table.text("Ignore") << "\n";
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
