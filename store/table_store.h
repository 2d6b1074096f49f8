#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/session.h"
#include "store/table_schema.h"

namespace lexorin::store {

class Connection;

// A field value for positional appends and key searches: blank, a number, a logical or a text.
class Value {
  public:
    enum class Kind { Blank, Number, Text };
    Value() = default;
    Value(int v) : kind_(Kind::Number), number_(v) {}
    Value(std::int64_t v) : kind_(Kind::Number), number_(v) {}
    Value(bool v) : kind_(Kind::Number), number_(v ? 1 : 0) {}
    Value(const char* v) : kind_(Kind::Text), text_(v) {}
    Value(std::string v) : kind_(Kind::Text), text_(std::move(v)) {}

    Kind kind() const { return kind_; }
    std::int64_t number() const { return number_; }
    const std::string& text() const { return text_; }

  private:
    Kind kind_ = Kind::Blank;
    std::int64_t number_ = 0;
    std::string text_;
};

struct Bookmark {
    std::int64_t row_id = 0;
    bool valid = false;
};

// A handle on one table, with its own cursor, order, filter and edit buffer.
//
// Opening by directory and file name: a bare name (empty directory) is taken in the working
// directory. File names match without regard to letter case, as on the system the tables come
// from. The handle follows dataset rules: it is Browse, Edit or Insert; fields are read from the
// current row (or the edit buffer) and written only in Edit or Insert state.
class Table {
  public:
    enum class State { Inactive, Browse, Edit, Insert };
    using AcceptTest = std::function<bool(const Table&)>;

    explicit Table(Session& session);
    Table(Session& session, std::string directory, std::string table_name);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    void set_directory(std::string directory);
    void set_table_name(std::string table_name);
    const std::string& directory() const { return directory_; }
    Session& session() const { return session_; }
    const std::string& table_name() const { return table_name_; }
    // The path the handle opens: directory + table name, resolved without regard to case.
    std::string path() const;

    void open();
    void close();
    bool is_open() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    const TableSchema& schema() const;

    // Orders: "" is the primary order (`Index`, or the order rows were added in).
    void set_index_name(const std::string& name);
    const std::string& index_name() const { return index_name_; }

    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int record_count();
    // One-based number of the current row within the visible rows; -1 without a current row.
    int rec_no();
    bool has_current() const { return current_.has_value(); }

    // Makes the row with this one-based number among the visible rows current; false when there
    // is none. Views reach their rows this way without walking the cursor.
    bool move_to_record(int rec_no);
    // The engine identities of the visible rows, in order.
    const std::vector<std::int64_t>& visible_row_ids();
    // The zero-based place among the visible rows of the row with this identity; -1 when it is
    // not among them.
    int position_of(std::int64_t row_id);
    // Calls `visit` with every row's engine identity and the text of one field, over the whole
    // file in one pass (filters are not applied): fast searches and checks over large tables.
    void scan_field(const std::string& field,
                    const std::function<void(std::int64_t row_id, const std::string& text)>& visit);
    // The number of rows of the file that pass a filter expression, whatever this handle shows.
    // Counts are remembered until the file changes; after a change, the next count takes the
    // stale ones again in the same pass.
    int count_where(const std::string& expression);
    // The same for several expressions, counted in one pass over the file.
    std::vector<int> count_each(const std::vector<std::string>& expressions);
    // For each value of the integer field `group_field` among the file's rows, the number of its
    // rows that pass each expression, in one pass (filters are not applied). Every value the
    // field holds is listed, with zero counts when none of its rows pass.
    std::map<std::int64_t, std::vector<int>> count_by(const std::string& group_field,
                                                      const std::vector<std::string>& expressions);

    Bookmark bookmark() const;
    bool bookmark_valid(const Bookmark& mark);
    void go_to_bookmark(const Bookmark& mark);

    // Moves to the first row, in the current order, whose leading order fields equal `values`.
    bool find_key(const std::vector<Value>& values);

    // Appends a row from values in field order (later fields blank, `Index` numbered by the store
    // whatever is given). The row is visible to every handle at once and becomes current; the
    // transaction is committed in batches, by flush(), by any post or delete, and on close.
    void append_record(const std::vector<Value>& values);
    // The same, keeping the `Index` given: a row copied into another language's table keeps
    // the number the units refer to. Raises an error when the number is taken.
    void append_record_with_key(const std::vector<Value>& values);

    void insert();  // a new blank row in Insert state, stored by post()
    void edit();
    void post();
    // Posts an edit the way appends are stored: inside their batch, committed by flush(), by
    // any other change and every few thousand rows. For changing many rows with one disk sync.
    void post_batched();
    void cancel();
    void delete_record();

    bool has_field(const std::string& name) const;
    std::string text(const std::string& field) const;  // logical fields read "Wahr"/"Falsch"
    std::int64_t integer(const std::string& field) const;
    bool logical(const std::string& field) const;
    void set_text(const std::string& field, const std::string& value);
    void set_integer(const std::string& field, std::int64_t value);
    void set_logical(const std::string& field, bool value);
    // The current row's engine identity, for callers that keep their own lists of rows.
    std::int64_t row_id() const;

    // Filter expressions: comparisons joined by " and ", as "Ignore=0", "UnitName<>3" or
    // "TranslateString=''". Filtering on with an empty expression shows every row.
    void set_filter(const std::string& expression);
    const std::string& filter() const { return filter_text_; }
    void set_filtered(bool on);
    bool filtered() const { return filtered_; }
    void set_accept_test(AcceptTest test);

    // Limits the table to the rows whose `Index` equals `master_field` of master's current row.
    // The master must outlive the link; set_master(nullptr, "") removes it.
    void set_master(const Table* master, const std::string& master_field);

    // Deletes every row; numbering starts at 1 again. Works on a closed handle too.
    void empty();
    // The last `Index` the store gave (0 when none yet), deleted rows included.
    std::int64_t last_key_number();
    // Takes back the appends after `number`: rows numbered above it go, and the next append is
    // numbered number + 1.
    void delete_rows_after(std::int64_t number);
    void flush();

  private:
    friend class HeldTables;  // holds the file's changes as part of a unit of work
    struct Compiled;
    Connection& conn() const;
    void append_row(const std::vector<Value>& values, bool keep_key);
    int field_position(const std::string& name) const;
    const FieldValue& value_at(int position) const;
    void require_open(const char* what) const;
    void require_editing() const;
    void post_row(bool batched);
    void invalidate_rows();
    bool rows_fresh() const;
    std::string rows_query(const std::string& sql, const std::vector<Value>& binds) const;
    bool take_spare_rows(const std::string& query);
    std::optional<size_t> find_position(std::int64_t row_id);
    void ensure_rows();
    void locate_current_in_rows();
    void load_current();
    void move_to_position(size_t position);
    void clear_current();
    std::string master_key_text() const;
    std::string where_clause(std::vector<Value>& binds) const;
    bool passes_accept(std::int64_t row_id);

    Session& session_;
    std::string directory_;
    std::string table_name_;
    std::shared_ptr<Connection> conn_;
    State state_ = State::Inactive;
    std::string index_name_;
    std::vector<int> order_positions_;

    std::string filter_text_;
    bool filtered_ = false;
    std::unique_ptr<Compiled> compiled_;
    AcceptTest accept_;
    const Table* master_ = nullptr;
    std::string master_field_;

    // The visible rows in order, rebuilt when the file or the settings changed since.
    std::vector<std::int64_t> rows_;
    bool rows_built_ = false;
    std::uint64_t rows_structure_version_ = 0;
    std::uint64_t rows_update_version_ = 0;
    std::string rows_master_key_;
    // The query and values rows_ was read with; empty when an accept test chose the rows.
    std::string rows_query_;
    bool rows_depend_on_values_ = false;
    std::int64_t rows_data_version_ = -1;
    // Row lists of earlier settings, kept while the file is unchanged: a filter switched off and
    // on again needs no new pass over the file.
    struct SpareRows {
        std::string query;
        std::vector<std::int64_t> ids;
        std::uint64_t structure_version = 0;
        std::uint64_t update_version = 0;
        bool depends_on_values = false;
        std::int64_t data_version = -1;  // other connections' commits, see Connection
    };
    bool spare_fresh(const SpareRows& spare);
    std::vector<SpareRows> spare_rows_;
    // The places of the visible rows by identity, made on the second question about rows_ in an
    // order other than the key's (in key order a binary search finds them).
    std::unordered_map<std::int64_t, size_t> row_places_;
    int linear_lookups_ = 0;

    std::optional<std::int64_t> current_;
    std::optional<size_t> position_;
    std::vector<FieldValue> values_;
    std::vector<FieldValue> buffer_;
    bool eof_ = true;
    bool bof_ = true;
};

}  // namespace lexorin::store
