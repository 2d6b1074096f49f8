#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/table_store.h"

// The translation editor's narrowing of a pascal or forms table: its check boxes, the state a
// translator works on and the file, as one filter expression; and how far each file is
// translated, for the file list.
namespace lexorin::editor {

// The rows a translator works on. Problems are the rows whose translation the checks find fault
// with; no expression says that, the caller tests each row.
enum class StateFilter { All, Untranslated, NeedsReview, Problems };

// The names the editor's settings keep: "all", "untranslated", "review", "problems".
const char* state_filter_key(StateFilter state);
// All for a name it does not know: a damaged setting shows every row.
StateFilter state_filter_from_key(std::string_view key);

struct EditorFilter {
    bool no_ignored = false;
    bool changed_only = false;  // forms tables only
    bool not_translated = false;
    StateFilter state = StateFilter::All;
    std::optional<std::int64_t> file;  // the UnitName key of the file shown alone
};

// The terms, joined by " and ", in the order "Ignore=0", "Changed=1", "Translated=0", then the
// state's and the file's; a term already there is not repeated. Empty when nothing narrows.
std::string FilterExpression(const EditorFilter& filter);

// Of a file's rows that are not ignored: how many there are and how many are translated.
struct FileProgress {
    int translated = 0;
    int total = 0;
};

// The progress of every file (by UnitName key) that `table` has rows for, in one pass over the
// file, whatever the handle's filter.
std::unordered_map<std::int64_t, FileProgress> ProgressByFile(store::Table& table);

// "3 of 5 translated"
std::string ProgressText(const FileProgress& progress);

}  // namespace lexorin::editor
