#include "store/translation_tables.h"

#include "base/errors.h"
#include "base/file_utils.h"
#include "store/table_files.h"

namespace lexorin::store {

const TableSchema& forms_schema() {
    static const TableSchema schema{
        {{field::Index, FieldType::Integer},
         {field::OriginalString, FieldType::Text},
         {field::TranslateString, FieldType::Text},
         {field::UnitName, FieldType::Integer},
         {field::Translated, FieldType::Logical},
         {field::Ignore, FieldType::Logical},
         {field::Object, FieldType::Text},
         {field::Property, FieldType::Text},
         {field::Changed, FieldType::Logical},
         {field::SpacesAtEnd, FieldType::Integer},
         // Why a string was left out, e.g. a wide string whose
         // characters the code page cannot hold.
         {field::Context, FieldType::Memo},
         {field::NeedsReview, FieldType::Logical}},
        {{order::UniqueProperty, {field::UnitName, field::Object, field::Property}},
         {order::Translation, {field::Object, field::Property}}},
        true};
    return schema;
}

// The pascal table carries a `Changed` flag too, so that the code view's "show only changed
// strings" has a field to filter on; the code scanner leaves it false.
const TableSchema& pascal_schema() {
    static const TableSchema schema{{{field::Index, FieldType::Integer},
                                     {field::OriginalString, FieldType::Text},
                                     {field::TranslateString, FieldType::Text},
                                     {field::UnitName, FieldType::Integer},
                                     {field::Translated, FieldType::Logical},
                                     {field::Ignore, FieldType::Logical},
                                     {field::Context, FieldType::Memo},
                                     {field::NewLine, FieldType::Integer},
                                     {field::OriginalLine, FieldType::Integer},
                                     {field::SpacesAtEnd, FieldType::Integer},
                                     {field::Changed, FieldType::Logical},
                                     {field::NeedsReview, FieldType::Logical}},
                                    {{order::String, {field::OriginalString}}},
                                    true};
    return schema;
}

const TableSchema& file_list_schema() {
    static const TableSchema schema{{{field::Index, FieldType::Integer},
                                     {field::UnitName, FieldType::Text},
                                     {field::Directory, FieldType::Text}},
                                    {{order::Name, {field::UnitName}}},
                                    true};
    return schema;
}

const TableSchema& schema_for(TableKind kind) {
    switch (kind) {
        case TableKind::Forms:
            return forms_schema();
        case TableKind::Pascal:
            return pascal_schema();
        case TableKind::Units:
        case TableKind::PasFiles:
            return file_list_schema();
    }
    return forms_schema();
}

const char* kind_name(TableKind kind) {
    switch (kind) {
        case TableKind::Forms:
            return "forms";
        case TableKind::Pascal:
            return "pascal";
        case TableKind::Units:
            return "units";
        case TableKind::PasFiles:
            return "pasfiles";
    }
    return "";
}

bool is_per_language(TableKind kind) {
    return kind == TableKind::Forms || kind == TableKind::Pascal;
}

const char* template_name(TableKind kind) {
    switch (kind) {
        case TableKind::Forms:
            return kFormsTemplate;
        case TableKind::Pascal:
            return kPascalTemplate;
        case TableKind::Units:
            return kUnitsTemplate;
        case TableKind::PasFiles:
            return kPasFilesTemplate;
    }
    return "";
}

std::string table_base_name(const std::string& project, const std::string& language,
                            const std::string& kind, bool per_language) {
    return per_language ? project + "_" + language + "_" + kind : project + "_" + kind;
}

std::string table_file_name(const std::string& project, const std::string& language,
                            TableKind kind) {
    return table_base_name(project, language, kind_name(kind), is_per_language(kind)) + ".db";
}

void ensure_templates(const std::string& directory, const std::string& seed_directory) {
    Session session;
    for (TableKind kind :
         {TableKind::Forms, TableKind::Units, TableKind::Pascal, TableKind::PasFiles}) {
        std::string name = template_name(kind);
        if (!find_file_no_case(directory, name).empty()) {
            // A template of an earlier version gives new languages the current fields.
            upgrade_table(session, directory, name, kind);
            continue;
        }
        std::string target = join_path(directory, name);
        if (std::string why = why_not_a_table_file(target); !why.empty())
            throw StoreError("The template " + target + " cannot be used: " + why + ".");
        std::string seed =
            seed_directory.empty() ? std::string() : find_file_no_case(seed_directory, name);
        if (!seed.empty() && seed_directory != directory)
            copy_table(session, join_path(seed_directory, seed), target);
        else
            create_table(target, schema_for(kind));
    }
}

void check_schema(const Table& table, const TableSchema& expected) {
    for (const auto& field : expected.fields)
        if (!table.has_field(field.name))
            throw StoreError(table.path() + " is not a valid table: the field " + field.name +
                             " is missing");
}

void upgrade_table(Session& session, const std::string& directory, const std::string& file_name,
                   TableKind kind) {
    if (!is_per_language(kind)) return;
    const std::string found = find_file_no_case(directory, file_name);
    if (found.empty()) return;  // opening it names the missing table
    const std::string path = join_path(directory, found);
    if (session.is_in_use(path)) return;
    // The fields added since the first layout: the forms table's Context, NeedsReview of both.
    if (kind == TableKind::Forms)
        add_missing_fields(session, path, forms_schema(), {field::Context, field::NeedsReview});
    else
        add_missing_fields(session, path, pascal_schema(), {field::NeedsReview});
}

}  // namespace lexorin::store
