#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/session.h"
#include "store/string_rows.h"
#include "store/table_store.h"
#include "store/translation_tables.h"

// The translation tables of one project, typed: each object is open on one table file, chosen
// by its constructor, for as long as it lives. Which file a function reads and writes follows
// from the objects it is given; nothing points a handle at another file.
namespace lexorin::store {

// A table file named directly, not by project and language: a template or a copy.
struct TableFile {
    std::string name;
};

// The row at the cursor of a handle on a pascal or a forms table, for walks over handles that are
// not typed (the copies between languages).
PascalRow PascalRowAt(const Table& table);
FormRow FormRowAt(const Table& table);
// Appends `row` under its own `Index`; raises a StoreError when the number is taken.
void AppendCopy(Table& table, const PascalRow& row);
void AppendCopy(Table& table, const FormRow& row);

// One translation table file on a handle of its own. The handle is reachable for the views and
// the walks that need an order, a filter or a cursor; it never opens another file.
class TranslationTable {
  public:
    TranslationTable(const TranslationTable&) = delete;
    TranslationTable& operator=(const TranslationTable&) = delete;

    TableKind kind() const { return kind_; }
    Table& table() { return table_; }
    const Table& table() const { return table_; }
    const std::string& file_name() const { return table_.table_name(); }
    // The folder the file lies in: the program directory for a project's tables.
    const std::string& directory() const { return table_.directory(); }
    // That folder with the session the table was opened in: where its sibling files open.
    TableFolder folder() const { return {table_.session(), table_.directory()}; }
    std::string path() const { return table_.path(); }
    int record_count() { return table_.record_count(); }
    void flush() { table_.flush(); }

  protected:
    // Opens `file_name` in `folder`, checked to have the fields of `kind` (a forms table written
    // before Context was added gets it first). Raises a StoreError naming the file when it is
    // missing or not a table of this kind.
    TranslationTable(const TableFolder& folder, const std::string& file_name, TableKind kind);
    ~TranslationTable() = default;

  private:
    TableKind kind_;
    Table table_;
};

// A project's pascal table for one language: the literals of its units.
class PascalRows : public TranslationTable {
  public:
    PascalRows(const TableFolder& folder, const std::string& project, const std::string& language);
    PascalRows(const TableFolder& folder, const TableFile& file);

    // The row at the handle's cursor.
    PascalRow current() const;
    // Appends `row` with the next number, which it returns; `row.index` is not used.
    std::int64_t append(const PascalRow& row);
    // Appends `row` under `row.index`: a row copied from another language keeps the number the
    // units refer to. Raises a StoreError when the number is taken.
    void append_keeping_index(const PascalRow& row);
};

// A project's forms table for one language: the strings of its forms.
class FormRows : public TranslationTable {
  public:
    FormRows(const TableFolder& folder, const std::string& project, const std::string& language);
    FormRows(const TableFolder& folder, const TableFile& file);

    FormRow current() const;
    std::int64_t append(const FormRow& row);
    void append_keeping_index(const FormRow& row);
};

// A list of scanned files: the project's unit files (the pasfiles table) or form files (the
// units table). Both are one table per project, whatever the language.
class FileList : public TranslationTable {
  public:
    FileRow current() const;
    std::int64_t append(const FileRow& row);
    // The number of the row of the file at `path` (matched by name, then by full path: files of
    // one name may lie in several folders); none when it is not listed. Leaves the handle in
    // name order, on the row found.
    std::optional<std::int64_t> find(const std::string& path);

  protected:
    using TranslationTable::TranslationTable;
};

// The unit files a code scan has met (the project's pasfiles table). It always holds the
// "(Show all)" row the views list first: an empty list gets it when opened.
class UnitFiles : public FileList {
  public:
    UnitFiles(const TableFolder& folder, const std::string& project);
    UnitFiles(const TableFolder& folder, const TableFile& file);
};

// The form files a form scan has met (the project's units table).
class FormFiles : public FileList {
  public:
    FormFiles(const TableFolder& folder, const std::string& project);
    FormFiles(const TableFolder& folder, const TableFile& file);
};

// The four tables of one project and language, for the commands that read or write both kinds
// of string (exchange files, checks).
struct LanguageTables {
    LanguageTables(const TableFolder& folder, std::string project_name, std::string language_name)
        : project(std::move(project_name)),
          language(std::move(language_name)),
          pascal(folder, project, language),
          forms(folder, project, language),
          unit_files(folder, project),
          form_files(folder, project) {}

    const std::string project;
    const std::string language;
    PascalRows pascal;
    FormRows forms;
    UnitFiles unit_files;
    FormFiles form_files;
};

}  // namespace lexorin::store
