#pragma once

#include <optional>
#include <string>

#include "base/code_page.h"
#include "store/table_store.h"
#include "store/translation_memory.h"

// Between the rows of a project and the translation memory. Rows keep 8-bit text in the
// project's code page, a code row its texts as Pascal literal bodies (Don''t); the memory keeps
// the text itself in UTF-8 (Don't), so that code and form strings of every project meet there.
namespace lexorin::project {

// The memory's text for a stored original or translation. Raises Error for a byte the code page
// lacks.
std::string MemoryText(const std::string& stored, bool code_row, const CodePage& code_page);

// What a row stores for a memory text: the body of a literal for a code row. Raises Error for a
// character the code page lacks.
std::string RowText(const std::string& memory_text, bool code_row, const CodePage& code_page);

// The entry a translated row gives: its original, translation, project and language as the
// memory keeps them (UTF-8). None
// when either is blank or a text does not convert.
std::optional<store::MemoryEntry> MemoryEntryFor(const std::string& stored_original,
                                                 const std::string& stored_translation,
                                                 bool code_row, const std::string& project,
                                                 const std::string& language,
                                                 const CodePage& code_page);

// The entry of the current row of `table` (a pascal table when `code_row`), when the row is
// translated; none for an untranslated, ignored or blank row.
std::optional<store::MemoryEntry> MemoryEntryOfRow(const store::Table& table, bool code_row,
                                                   const std::string& project,
                                                   const std::string& language,
                                                   const CodePage& code_page);

// Records the row `row_id` (its Index) of `table`, when it is translated, in the memory of the
// table's folder: what a post in the editor adds. Reads the row on a handle of its own.
void RecordRowInMemory(const store::Table& table, std::int64_t row_id, bool code_row,
                       const std::string& project, const std::string& language,
                       const CodePage& code_page);

}  // namespace lexorin::project
