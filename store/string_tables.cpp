#include "store/string_tables.h"

#include "base/file_utils.h"
#include "store/translation_fields.h"

namespace lexorin::store {

TranslationTable::TranslationTable(const TableFolder& folder, const std::string& file_name,
                                   TableKind kind)
    : kind_(kind), table_(folder.session, folder.directory, file_name) {
    upgrade_table(folder.session, folder.directory, file_name, kind);
    table_.open();
    check_schema(table_, schema_for(kind));
}

static bool read_flag(const Table& table, const char* name) {
    return table.logical(name);
}

// NeedsReview came later: a handle on a table not yet given it (a copy's target opened
// untyped) reads it as false and writes rows without it.
static bool read_needs_review(const Table& table) {
    return table.has_field(field::NeedsReview) && table.logical(field::NeedsReview);
}

static std::vector<Value> fitted(const Table& table, std::vector<Value> values) {
    if (!table.has_field(field::NeedsReview)) values.pop_back();
    return values;
}

PascalRows::PascalRows(const TableFolder& folder, const std::string& project,
                       const std::string& language)
    : PascalRows(folder, TableFile{table_file_name(project, language, TableKind::Pascal)}) {}

PascalRows::PascalRows(const TableFolder& folder, const TableFile& file)
    : TranslationTable(folder, file.name, TableKind::Pascal) {}

PascalRow PascalRowAt(const Table& t) {
    PascalRow row;
    row.index = t.integer(field::Index);
    row.original = t.text(field::OriginalString);
    row.translation = t.text(field::TranslateString);
    row.unit = t.integer(field::UnitName);
    row.translated = read_flag(t, field::Translated);
    row.ignore = read_flag(t, field::Ignore);
    row.context = t.text(field::Context);
    row.new_line = t.integer(field::NewLine);
    row.original_line = t.integer(field::OriginalLine);
    row.spaces_at_end = t.integer(field::SpacesAtEnd);
    row.changed = read_flag(t, field::Changed);
    row.needs_review = read_needs_review(t);
    return row;
}

// The values of a row in the schema's field order, for the store's positional append.
static std::vector<Value> stored_values(const PascalRow& row) {
    return {Value(row.index),         Value(row.original),   Value(row.translation),
            Value(row.unit),          Value(row.translated), Value(row.ignore),
            Value(row.context),       Value(row.new_line),   Value(row.original_line),
            Value(row.spaces_at_end), Value(row.changed),    Value(row.needs_review)};
}

static std::vector<Value> stored_values(const FormRow& row) {
    return {Value(row.index),         Value(row.original),   Value(row.translation),
            Value(row.form),          Value(row.translated), Value(row.ignore),
            Value(row.object),        Value(row.property),   Value(row.changed),
            Value(row.spaces_at_end), Value(row.context),    Value(row.needs_review)};
}

PascalRow PascalRows::current() const {
    return PascalRowAt(table());
}

void AppendCopy(Table& table, const PascalRow& row) {
    table.append_record_with_key(fitted(table, stored_values(row)));
}

std::int64_t PascalRows::append(const PascalRow& row) {
    table().append_record(fitted(table(), stored_values(row)));
    return table().integer(field::Index);
}

void PascalRows::append_keeping_index(const PascalRow& row) {
    AppendCopy(table(), row);
}

FormRows::FormRows(const TableFolder& folder, const std::string& project,
                   const std::string& language)
    : FormRows(folder, TableFile{table_file_name(project, language, TableKind::Forms)}) {}

FormRows::FormRows(const TableFolder& folder, const TableFile& file)
    : TranslationTable(folder, file.name, TableKind::Forms) {}

FormRow FormRowAt(const Table& t) {
    FormRow row;
    row.index = t.integer(field::Index);
    row.original = t.text(field::OriginalString);
    row.translation = t.text(field::TranslateString);
    row.form = t.integer(field::UnitName);
    row.translated = read_flag(t, field::Translated);
    row.ignore = read_flag(t, field::Ignore);
    row.object = t.text(field::Object);
    row.property = t.text(field::Property);
    row.changed = read_flag(t, field::Changed);
    row.spaces_at_end = t.integer(field::SpacesAtEnd);
    row.context = t.text(field::Context);
    row.needs_review = read_needs_review(t);
    return row;
}

FormRow FormRows::current() const {
    return FormRowAt(table());
}

void AppendCopy(Table& table, const FormRow& row) {
    table.append_record_with_key(fitted(table, stored_values(row)));
}

std::int64_t FormRows::append(const FormRow& row) {
    table().append_record(fitted(table(), stored_values(row)));
    return table().integer(field::Index);
}

void FormRows::append_keeping_index(const FormRow& row) {
    AppendCopy(table(), row);
}

FileRow FileList::current() const {
    const Table& t = table();
    return {t.integer(field::Index), t.text(field::UnitName), t.text(field::Directory)};
}

std::int64_t FileList::append(const FileRow& row) {
    table().append_record({Value(row.index), Value(row.name), Value(row.path)});
    return table().integer(field::Index);
}

std::optional<std::int64_t> FileList::find(const std::string& path) {
    Table& t = table();
    if (t.index_name() != order::Name) t.set_index_name(order::Name);
    const std::string name = file_name_of(path);
    if (!t.find_key({Value(name)})) return std::nullopt;
    // The walk goes on past the name: the order may interleave names that differ in case only.
    for (; !t.eof(); t.next())
        if (t.text(field::Directory) == path) return t.integer(field::Index);
    return std::nullopt;
}

UnitFiles::UnitFiles(const TableFolder& folder, const std::string& project)
    : UnitFiles(folder, TableFile{table_file_name(project, {}, TableKind::PasFiles)}) {}

UnitFiles::UnitFiles(const TableFolder& folder, const TableFile& file)
    : FileList(folder, file.name, TableKind::PasFiles) {
    if (record_count() == 0) {
        append({0, kShowAll, {}});
        flush();
    }
}

FormFiles::FormFiles(const TableFolder& folder, const std::string& project)
    : FormFiles(folder, TableFile{table_file_name(project, {}, TableKind::Units)}) {}

FormFiles::FormFiles(const TableFolder& folder, const TableFile& file)
    : FileList(folder, file.name, TableKind::Units) {}

}  // namespace lexorin::store
