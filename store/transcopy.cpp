#include "store/transcopy.h"

#include <algorithm>

#include "base/errors.h"
#include "base/file_utils.h"
#include "store/table_files.h"
#include "store/translation_fields.h"

namespace lexorin::store {

void CopyTableFile(Session& session, const std::string& source_directory,
                   const std::string& source_name, const std::string& destination_directory,
                   const std::string& destination_name) {
    std::string source = source_directory + "/" + source_name;
    std::string destination = destination_directory + "/" + destination_name;
    try {
        std::string found = find_file_no_case(source_directory, source_name);
        copy_table(session, join_path(source_directory, found.empty() ? source_name : found),
                   join_path(destination_directory, destination_name));
    } catch (const StoreError& e) {
        throw StoreError("While copying " + source + " to " + destination + ", the " +
                         " database engine   generated the error '" + e.what() + "'");
    }
}

// Appends to `out` a copy of `in`'s current row: its number, original and place, with no
// translation and none of the flags set at scan time.
static void CopyRow(const Table& in, Table& out, TableKind kind) {
    if (kind == TableKind::Forms) {
        FormRow row = FormRowAt(in);
        row.translation.clear();
        row.translated = row.ignore = row.changed = row.needs_review = false;
        row.context.clear();
        AppendCopy(out, row);
        return;
    }
    PascalRow row = PascalRowAt(in);
    row.translation.clear();
    row.translated = row.ignore = row.changed = row.needs_review = false;
    AppendCopy(out, row);
}

int CopyMissingRows(Table& in, Table& out, std::int64_t after, TableKind kind, Reporter* reporter) {
    in.set_index_name("");
    out.set_index_name("");
    // The key is the row's identity, so the first row after `after` is found in the ordered
    // list of identities instead of by walking the rows before it.
    const std::vector<std::int64_t>& ids = in.visible_row_ids();
    const auto first = std::upper_bound(ids.begin(), ids.end(), after);
    if (first == ids.end()) return 0;
    int copied = 0;
    in.move_to_record(static_cast<int>(first - ids.begin()) + 1);
    for (; !in.eof(); in.next()) {
        if (reporter) reporter->still_working();
        if (out.find_key({in.integer(field::Index)})) continue;
        CopyRow(in, out, kind);
        ++copied;
    }
    return copied;
}

StringCounts CountStrings(Table& forms, Table& pascal, Reporter* reporter) {
    StringCounts counts;
    auto count = [&](Table& table, int& rows, int& untranslated) {
        if (!table.is_open()) table.open();
        for (table.first(); !table.eof(); table.next()) {
            if (reporter) reporter->still_working();
            ++rows;
            if (table.text(field::TranslateString).empty() && !table.logical(field::Translated) &&
                !table.logical(field::Ignore))
                ++untranslated;
        }
    };
    count(forms, counts.forms_rows, counts.forms_untranslated);
    count(pascal, counts.pascal_rows, counts.pascal_untranslated);
    return counts;
}

void CopyRows(Session& session, const std::string& path, const std::string& from,
              const std::string& to, TableKind kind, Reporter* reporter) {
    Table in(session, path, from);
    Table out(session, path, to);
    in.open();
    out.open();
    CopyMissingRows(in, out, 0, kind, reporter);
    out.flush();
}

void RequireWritableTables(const TableFolder& folder, const std::string& project,
                           const std::vector<std::string>& languages, TableKind kind) {
    std::vector<std::pair<std::string, TableKind>> tables;
    for (const auto& language : languages)
        tables.emplace_back(table_file_name(project, language, kind), kind);
    const TableKind files = kind == TableKind::Forms ? TableKind::Units : TableKind::PasFiles;
    tables.emplace_back(table_file_name(project, "", files), files);
    for (const auto& [name, table_kind] : tables) {
        upgrade_table(folder.session, folder.directory, name, table_kind);
        Table table(folder.session, folder.directory, name);
        table.open();  // names a missing, foreign or broken file
        check_schema(table, schema_for(table_kind));
        require_writable_file(table.path(), "The table");
    }
}

}  // namespace lexorin::store
