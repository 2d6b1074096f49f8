#include "project/pretranslate.h"

#include "base/errors.h"
#include "base/text_utils.h"
#include "project/memory_feed.h"
#include "project/translation_checks.h"
#include "project/translation_write.h"
#include "store/held_tables.h"
#include "store/translation_fields.h"

namespace lexorin::project {

namespace {

// A row to fill, found before any row changes.
struct OpenRow {
    std::int64_t index;
    std::string original;  // as the memory keeps it
    bool blank;            // no translation yet
};

std::vector<OpenRow> open_rows(store::Table& table, bool code_row, const CodePage& code_page,
                               Reporter& reporter) {
    std::vector<OpenRow> rows;
    for (table.first(); !table.eof(); table.next()) {
        reporter.still_working();
        if (table.logical(store::field::Translated) || table.logical(store::field::Ignore))
            continue;
        const std::string original = table.text(store::field::OriginalString);
        if (trim(original).empty()) continue;
        try {
            rows.push_back({table.integer(store::field::Index),
                            MemoryText(original, code_row, code_page),
                            trim(table.text(store::field::TranslateString)).empty()});
        } catch (const Error&) {
            // An original the code page cannot read has no entry in the memory either.
        }
    }
    return rows;
}

}  // namespace

PretranslateResult Pretranslate(store::LanguageTables& tables, store::TranslationMemory& memory,
                                const CodePage& code_page, int min_similarity, Reporter& reporter) {
    PretranslateResult result;
    const std::string language = code_page.to_utf8(tables.language);
    store::HeldTables held({&tables.pascal.table(), &tables.forms.table()});
    for (const bool code_row : {true, false}) {
        store::Table& table = code_row ? tables.pascal.table() : tables.forms.table();
        const store::TableKind kind = code_row ? store::TableKind::Pascal : store::TableKind::Forms;
        for (const OpenRow& row : open_rows(table, code_row, code_page, reporter)) {
            reporter.still_working();
            std::optional<std::string> suggestion;
            bool exact = false;
            if (auto entry = memory.Find(language, row.original)) {
                suggestion = entry->translation;
                exact = true;
            } else if (row.blank) {
                for (const auto& s : memory.Suggestions(language, row.original, 1, min_similarity))
                    suggestion = s.translation;
            }
            if (!suggestion) {
                ++result.unmatched;
                continue;
            }
            const std::string label =
                std::string(table_kind_label(kind)) + " " + std::to_string(row.index);
            // A form string is one line; the line breaks of a code text have no place there.
            if (!code_row && suggestion->find_first_of("\r\n") != std::string::npos) {
                result.notes.push_back(label +
                                       ": the match holds a line break, which a form "
                                       "string cannot hold");
                ++result.unmatched;
                continue;
            }
            std::string stored;
            try {
                stored = trim_right_blanks(RowText(*suggestion, code_row, code_page));
            } catch (const Error& e) {
                result.notes.push_back(label + ": " + e.what());
                ++result.unmatched;
                continue;
            }
            if (!table.find_key({row.index})) continue;
            TranslationWrite write;
            write.translation = stored;
            write.translated = exact;
            write.needs_review = !exact;
            WriteTranslation(table, write, Flags::AsGiven, !code_row);
            ++(exact ? result.exact : result.fuzzy);
        }
    }
    held.Commit();
    result.message = std::to_string(result.exact) + " rows translated from exact matches, " +
                     std::to_string(result.fuzzy) + " filled from fuzzy matches for review, " +
                     std::to_string(result.unmatched) + " without a match.";
    return result;
}

}  // namespace lexorin::project
