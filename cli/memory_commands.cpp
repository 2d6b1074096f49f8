// pretranslate, tm import and tm export: the translation memory of the program directory.
#include <optional>
#include <string>

#include "app/commands.h"
#include "cli/command_line.h"
#include "project/pretranslate.h"
#include "project/tmx_exchange.h"
#include "store/translation_memory.h"

namespace lexorin::cli {

namespace {

int min_similarity(const std::optional<std::string>& option) {
    if (!option) return project::kDefaultPretranslateSimilarity;
    const std::string& text = *option;
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError("--min-similarity must be a percent from 1 to 100, not " + text);
    const int percent = std::stoi(text);
    if (percent < 1 || percent > 100)
        throw UsageError("--min-similarity must be a percent from 1 to 100, not " + text);
    return percent;
}

int pretranslate(Context& context, Arguments& args) {
    const int percent = min_similarity(args.option("--min-similarity"));
    auto words = args.positional(2);
    auto project =
        commands::OpenProject(context.session, context.home, words[0], context.code_page);
    project->select_language(words[1]);
    auto result = commands::Pretranslate(project->handles(), percent, context.reporter);
    if (!result) return 1;
    for (const auto& note : result->notes) context.reporter.warning(note);
    context.reporter.information(result->message);
    return 0;
}

int tm_import(Context& context, Arguments& args) {
    auto words = args.positional(1);
    auto result = commands::ImportTmx(context.home, words[0]);
    for (const auto& line : result.left_out) context.reporter.warning(line);
    context.reporter.information(result.message);
    return 0;
}

int tm_export(Context& context, Arguments& args) {
    const auto source = args.option("--source-lang");
    auto words = args.positional_at_least(1);
    if (words.size() > 2) throw UsageError("too many arguments: " + words[2]);
    std::optional<std::string> language;
    if (words.size() == 2) language = words[1];
    store::TranslationMemory memory(context.home);
    auto result = project::ExportTmx(memory, words[0], language, source.value_or("en"));
    context.reporter.information(result.message);
    return 0;
}

}  // namespace

void add_memory_commands(std::vector<Command>& commands) {
    commands.push_back({"pretranslate", "PROJECT LANG [--min-similarity N]",
                        "fill untranslated rows from the translation memory: exact matches as "
                        "translated, matches of N% (default 75) or more to review",
                        pretranslate});
    commands.push_back({"tm import", "FILE.tmx",
                        "add the translations of a TMX file to the translation memory", tm_import});
    commands.push_back({"tm export", "FILE.tmx [LANG] [--source-lang CODE]",
                        "write the translation memory (of one language) to a TMX 1.4 file, the "
                        "originals under CODE (default en)",
                        tm_export});
}

}  // namespace lexorin::cli
