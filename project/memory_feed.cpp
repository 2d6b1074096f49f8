#include "project/memory_feed.h"

#include "base/errors.h"
#include "base/literal_text.h"
#include "base/text_utils.h"
#include "store/translation_fields.h"

namespace lexorin::project {

std::string MemoryText(const std::string& stored, bool code_row, const CodePage& code_page) {
    return code_page.to_utf8(code_row ? LiteralText(stored) : stored);
}

std::string RowText(const std::string& memory_text, bool code_row, const CodePage& code_page) {
    const std::string text = code_page.from_utf8(memory_text);
    return code_row ? LiteralBody(text) : text;
}

std::optional<store::MemoryEntry> MemoryEntryFor(const std::string& stored_original,
                                                 const std::string& stored_translation,
                                                 bool code_row, const std::string& project,
                                                 const std::string& language,
                                                 const CodePage& code_page) {
    if (trim(stored_original).empty() || trim(stored_translation).empty()) return std::nullopt;
    try {
        return store::MemoryEntry{code_page.to_utf8(language),
                                  MemoryText(stored_original, code_row, code_page),
                                  MemoryText(stored_translation, code_row, code_page),
                                  code_page.to_utf8(project),
                                  {}};
    } catch (const Error&) {
        return std::nullopt;  // a text the code page cannot read is no text to reuse
    }
}

std::optional<store::MemoryEntry> MemoryEntryOfRow(const store::Table& table, bool code_row,
                                                   const std::string& project,
                                                   const std::string& language,
                                                   const CodePage& code_page) {
    if (!table.logical(store::field::Translated) || table.logical(store::field::Ignore))
        return std::nullopt;
    return MemoryEntryFor(table.text(store::field::OriginalString),
                          table.text(store::field::TranslateString), code_row, project, language,
                          code_page);
}

void RecordRowInMemory(const store::Table& table, std::int64_t row_id, bool code_row,
                       const std::string& project, const std::string& language,
                       const CodePage& code_page) {
    store::Table row(table.session(), table.directory(), table.table_name());
    row.open();
    if (!row.find_key({row_id})) return;
    if (auto entry = MemoryEntryOfRow(row, code_row, project, language, code_page))
        store::TranslationMemory(table.directory()).Record(*entry);
}

}  // namespace lexorin::project
