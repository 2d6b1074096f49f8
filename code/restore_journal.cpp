#include "code/restore_journal.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "project/project_delete.h"
#include "store/table_files.h"

namespace lexorin::code {

using store::FieldType;
namespace f = journal_field;

const store::TableSchema& restore_journal_schema() {
    // The two lines are memos: a text field would lose their trailing blanks.
    static const store::TableSchema schema{{{f::Index, FieldType::Integer},
                                            {f::Directory, FieldType::Text},
                                            {f::UsesLine, FieldType::Memo},
                                            {f::FormLine, FieldType::Memo}},
                                           {{journal_order::Path, {f::Directory}}},
                                           true};
    return schema;
}

RestoreJournal::RestoreJournal(const store::TableFolder& folder, const std::string& project)
    : table_(folder.session, folder.directory, project::restore_journal_file_name(project)) {
    const std::string name = project::restore_journal_file_name(project);
    if (store::find_file_no_case(folder.directory, name).empty())
        store::create_table(join_path(folder.directory, name), restore_journal_schema());
    table_.open();
    store::check_schema(table_, restore_journal_schema());
}

bool RestoreJournal::Locate(const std::string& path) {
    if (table_.index_name() != journal_order::Path) table_.set_index_name(journal_order::Path);
    if (!table_.find_key({store::Value(path)})) return false;
    // The order may compare without regard to case; the path must match exactly.
    for (; !table_.eof(); table_.next()) {
        const std::string found = table_.text(f::Directory);
        if (found == path) return true;
        if (upper_case(found) != upper_case(path)) return false;
    }
    return false;
}

std::optional<JournalEntry> RestoreJournal::Find(const std::string& path) {
    if (!Locate(path)) return std::nullopt;
    return JournalEntry{path, table_.text(f::UsesLine), table_.text(f::FormLine)};
}

void RestoreJournal::Record(const std::string& path, const std::optional<std::string>& uses_line,
                            const std::optional<std::string>& form_line) {
    if (!uses_line && !form_line) return;
    if (!Locate(path)) {
        table_.append_record({0, path, uses_line.value_or(""), form_line.value_or("")});
        return;
    }
    const bool fill_uses = uses_line && table_.text(f::UsesLine).empty();
    const bool fill_form = form_line && table_.text(f::FormLine).empty();
    if (!fill_uses && !fill_form) return;
    table_.edit();
    if (fill_uses) table_.set_text(f::UsesLine, *uses_line);
    if (fill_form) table_.set_text(f::FormLine, *form_line);
    table_.post();
}

void RestoreJournal::Remove(const std::string& path) {
    if (Locate(path)) table_.delete_record();
}

std::vector<std::string> RestoreJournal::Units() {
    if (!table_.index_name().empty()) table_.set_index_name("");
    std::vector<std::string> units;
    for (table_.first(); !table_.eof(); table_.next()) units.push_back(table_.text(f::Directory));
    return units;
}

void RestoreJournal::Empty() {
    table_.empty();
}

void RestoreJournal::Flush() {
    table_.flush();
}

}  // namespace lexorin::code
