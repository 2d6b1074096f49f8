#include "project/tmx_exchange.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/language_codes.h"
#include "project/tmx_file.h"

namespace lexorin::project {

namespace {

// "de" and "de-DE" are the same language for a file whose source is "de".
bool same_language(const std::string& code, const std::string& other) {
    auto primary = [](const std::string& c) { return c.substr(0, c.find_first_of("-_")); };
    return equal_no_case(code, other) || equal_no_case(primary(code), primary(other));
}

std::string prop(const TmxUnit& unit, const std::string& type) {
    for (const auto& [key, value] : unit.props)
        if (key == type) return value;
    return {};
}

std::string plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

TmxExportResult ExportTmx(store::TranslationMemory& memory, const std::string& path,
                          const std::optional<std::string>& language,
                          const std::string& source_language) {
    TmxDocument document;
    document.source_language = source_language;
    memory.ForEach(language, [&](const store::MemoryEntry& entry) {
        TmxUnit unit;
        unit.changed = entry.changed;
        if (!entry.project.empty()) unit.props.emplace_back(kProjectProp, entry.project);
        unit.props.emplace_back(kLanguageProp, entry.language);
        const std::string code = LanguageCode(entry.language);
        unit.variants.push_back({source_language, entry.original});
        unit.variants.push_back({code.empty() ? entry.language : code, entry.translation});
        document.units.push_back(std::move(unit));
    });
    WriteTmx(path, document, LEXORIN_VERSION);
    TmxExportResult result;
    result.entries = static_cast<int>(document.units.size());
    result.message = plural(result.entries, "entry", "entries") + " written to " + path + ".";
    return result;
}

TmxImportResult ImportTmx(store::TranslationMemory& memory, const std::string& path) {
    const TmxDocument document = ReadTmx(path);
    TmxImportResult result;
    std::vector<store::MemoryEntry> entries;
    for (size_t i = 0; i < document.units.size(); ++i) {
        const TmxUnit& unit = document.units[i];
        const std::string label = "unit " + std::to_string(i + 1);
        if (!unit.skipped.empty()) {
            result.left_out.push_back(label + ", " + unit.skipped);
            continue;
        }
        const TmxVariant* source = nullptr;
        for (const TmxVariant& variant : unit.variants)
            if (!source && same_language(variant.language, document.source_language))
                source = &variant;
        if (!source || source->text.empty()) {
            result.left_out.push_back(label + ": no text in the source language " +
                                      document.source_language);
            continue;
        }
        const std::string project = prop(unit, kProjectProp);
        const std::string named = unit.variants.size() == 2 ? prop(unit, kLanguageProp) : "";
        for (const TmxVariant& variant : unit.variants) {
            if (&variant == source || variant.text.empty()) continue;
            std::string language = named;
            if (language.empty()) language = LanguageForCode(variant.language);
            if (language.empty()) language = trim(variant.language);
            entries.push_back({language, source->text, variant.text,
                               project.empty() ? file_name_of(path) : project, unit.changed});
        }
    }
    memory.Record(entries);
    result.entries = static_cast<int>(entries.size());
    result.message = plural(result.entries, "entry", "entries") + " imported from " + path;
    if (!result.left_out.empty())
        result.message +=
            ", " + plural(static_cast<int>(result.left_out.size()), "unit", "units") + " left out";
    result.message += ".";
    return result;
}

}  // namespace lexorin::project
