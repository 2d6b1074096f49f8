#pragma once

#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"
#include "store/translation_memory.h"

// Fills a language's rows from the translation memory before a translator starts.
namespace lexorin::project {

inline constexpr int kDefaultPretranslateSimilarity = 75;

struct PretranslateResult {
    int exact = 0;                   // rows translated from an entry with the same original
    int fuzzy = 0;                   // rows given a similar entry's translation, marked NeedsReview
    int unmatched = 0;               // untranslated rows the memory had nothing for
    std::vector<std::string> notes;  // rows a match could not be written to, with the reason
    std::string message;  // "3 rows translated from exact matches, 2 filled ... , 4 without ..."
};

// Every untranslated row of the language's pascal and forms tables that is not ignored: one
// whose original the memory holds gets that translation and is Translated; one that is still
// blank and has a match of at least `min_similarity` percent gets that suggestion with
// NeedsReview set, still untranslated. A row that already holds a text (a fuzzy PO entry, an
// earlier suggestion) takes only an exact match. All rows change in one transaction.
PretranslateResult Pretranslate(store::LanguageTables& tables, store::TranslationMemory& memory,
                                const CodePage& code_page, int min_similarity, Reporter& reporter);

}  // namespace lexorin::project
