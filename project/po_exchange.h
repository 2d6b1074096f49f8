#pragma once

#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/translation_memory.h"
#include "store/translation_tables.h"

// Exchange with the tools translators use: a language's rows as a GNU gettext PO file and back.
//
// One entry per row with a non-empty original, code rows first, each kind in `Index` order:
//   msgctxt "code 12 greetings.pas:31"            kind, Index, unit name and NewLine
//   msgctxt "forms 7 mainform.dfm Form1.Button1 Caption"   kind, Index, form file, object, property
//   msgid   the original, its trailing blanks (`SpacesAtEnd`) put back
//   msgstr  the translation, the same blanks put back; "" when there is none
// A code row keeps its texts as Pascal literal bodies (Don''t, Line'#13#10'two); the file holds
// the texts they stand for (Don't, a real line break), and says so in its header with
// "X-Lexorin-Code-Text: natural". A file without that field, from an earlier version, holds
// the bodies; it is read as such.
//   #.      the context lines of a code row
//   #, fuzzy        a translation not marked `Translated`
//   # lexorin-ignore   an ignored row (GNU's library keeps only the flags it knows, so this mark
//                      is a translator comment; translators' tools keep those)
// The texts are UTF-8, converted from and to the program's 8-bit text with a code page.
namespace lexorin::project {

inline constexpr const char* kIgnoreComment = "lexorin-ignore";
inline constexpr const char* kCodeTextField = "X-Lexorin-Code-Text";
inline constexpr const char* kCodeTextNatural = "natural";

struct PoExportResult {
    int entries = 0;
    int translated = 0;
    std::vector<std::string> notes;  // rows left out or written without their translation
    std::string message;             // "12 entries written to <file>."
};

// Writes the language's rows to `po_path` (replaced only once complete). Raises Error for a
// text with a character the code page lacks, naming the row; then no file is written.
PoExportResult ExportPo(store::LanguageTables& tables, const std::string& po_path,
                        const CodePage& code_page, Reporter& reporter);

struct PoImportResult {
    int updated = 0;
    int unchanged = 0;
    int ignored_translations = 0;          // translations of entries marked ignored, not stored
    std::vector<std::string> not_applied;  // entries left alone, each with the reason
    std::string message;                   // "3 rows updated, 5 unchanged, 1 entry not applied."
    // The translations written as translated, for the translation memory (the caller records
    // them: the import itself keeps to the project's tables).
    std::vector<store::MemoryEntry> memory_entries;
};

// Reads `po_path` and updates the rows whose original still equals the entry's msgid (for a
// code row as text, or as the body a file of an earlier version holds): the translation (when
// the entry has one; a code row's stored as a literal body) with `Translated` = not fuzzy, and
// `Ignore` from the mark. An entry marked ignored stores no translation: its row holds no text
// for people (a field name, a version, a mask), and a translation would reach the program. Entries
// without a matching row are reported, not applied. A malformed file, one of another language, or a
// text the code page cannot hold raises Error before any row changes.
PoImportResult ImportPo(store::LanguageTables& tables, const std::string& po_path,
                        const CodePage& code_page, Reporter& reporter);

}  // namespace lexorin::project
