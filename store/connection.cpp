#include "store/connection.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "base/errors.h"
#include "base/text_utils.h"

namespace lexorin::store {

std::string declared_type(FieldType type) {
    switch (type) {
        case FieldType::Text:
            return "TEXT";
        case FieldType::Memo:
            return "MEMO";
        case FieldType::Integer:
            return "INTEGER";
        case FieldType::Logical:
            return "LOGICAL";
    }
    return "TEXT";
}

static std::string column_list(const TableSchema& schema, size_t from) {
    std::string out;
    for (size_t i = from; i < schema.fields.size(); ++i) {
        if (i > from) out += ", ";
        out += quote_identifier(schema.fields[i].name);
    }
    return out;
}

// A column default as SQLite reports it: a number, or a quoted text with doubled apostrophes.
static std::string unquote_default(const std::string& sql) {
    if (sql.size() < 2 || sql.front() != '\'') return sql;
    std::string out;
    for (size_t i = 1; i + 1 < sql.size(); ++i) {
        out += sql[i];
        if (sql[i] == '\'' && sql[i + 1] == '\'') ++i;
    }
    return out;
}

Connection::Connection(std::string path) : path_(std::move(path)) {
    sqlite3* raw = nullptr;
    // A connection serves the one thread that uses its session (see Session): the engine's lock
    // around every call, taken a few million times in a pass over a large table, is left out.
    int rc =
        sqlite3_open_v2(path_.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK)
        throw StoreError("Cannot open table " + path_ + ": " +
                         (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    sqlite3_extended_result_codes(raw, 0);
    sqlite3_busy_timeout(raw, 3000);
    // Reads through a mapping of the file: a pass over a table of a million rows then copies
    // no pages (writes still go through the journal as before).
    sqlite3_exec(raw, "PRAGMA mmap_size = 1073741824", nullptr, nullptr, nullptr);
    load_schema();
    size_t from = schema_.numbered_key ? 1 : 0;
    std::string placeholders, sets;
    for (size_t i = from; i < schema_.fields.size(); ++i) {
        placeholders += i > from ? ", ?" : "?";
        sets += (i > from ? ", " : "") + quote_identifier(schema_.fields[i].name) + " = ?";
    }
    select_ = Statement(db(), "SELECT " + column_list(schema_, 0) + " FROM records WHERE rowid = ?",
                        path_);
    insert_ = Statement(
        db(),
        "INSERT INTO records (" + column_list(schema_, from) + ") VALUES (" + placeholders + ")",
        path_);
    update_ = Statement(db(), "UPDATE records SET " + sets + " WHERE rowid = ?", path_);
}

Connection::~Connection() {
    try {
        // Half a unit of work is never committed.
        if (held_)
            rollback_held();
        else
            commit();
    } catch (...) {
        // The destructor cannot report; the rows of an unfinished batch are lost only when the
        // disk refuses them, and every command flushes before it reports success.
    }
    statements_.clear();
    data_version_ = Statement();
    select_ = Statement();
    insert_ = Statement();
    update_ = Statement();
}

void Connection::load_schema() {
    auto invalid = [&](const std::string& why) {
        return StoreError(path_ + " is not a valid table: " + why);
    };
    try {
        Statement id(db(), "PRAGMA application_id", path_);
        if (!id.step() || id.column_int(0) != kApplicationId)
            throw invalid("the file was not written by this program");
        Statement columns(db(), "PRAGMA table_info(records)", path_);
        while (columns.step()) {
            std::string name = columns.column_text(1);
            std::string type = upper_case(columns.column_text(2));
            FieldType field_type = FieldType::Text;
            if (type == "MEMO")
                field_type = FieldType::Memo;
            else if (type == "INTEGER")
                field_type = FieldType::Integer;
            else if (type == "LOGICAL")
                field_type = FieldType::Logical;
            else if (type != "TEXT")
                throw invalid("field " + name + " has an unknown type");
            if (schema_.fields.empty())
                schema_.numbered_key =
                    equal_no_case(name, kNumberedKey) && columns.column_int(5) == 1;
            std::string default_value;
            if (!columns.column_is_null(4)) default_value = unquote_default(columns.column_text(4));
            schema_.fields.push_back({name, field_type, default_value});
        }
        if (schema_.fields.empty()) throw invalid("it holds no table");
        Statement indexes(db(), "PRAGMA index_list(records)", path_);
        std::vector<std::string> names;
        while (indexes.step())
            if (indexes.column_text(3) == "c") names.push_back(indexes.column_text(1));
        for (const auto& name : names) {
            OrderDef order{name, {}};
            Statement info(db(), "PRAGMA index_info(" + quote_identifier(name) + ")", path_);
            while (info.step()) order.fields.push_back(info.column_text(2));
            schema_.orders.push_back(std::move(order));
        }
    } catch (const StoreError& e) {
        std::string text = e.what();
        if (starts_with(text, path_ + " is not a valid table")) throw;
        // The engine's own complaint, as "file is not a database" for a foreign or cut file.
        throw invalid(text.substr(std::min(text.size(), path_.size() + 2)));
    }
}

int Connection::field_position(const std::string& name) const {
    for (size_t i = 0; i < schema_.fields.size(); ++i)
        if (equal_no_case(schema_.fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::string Connection::primary_column() const {
    return schema_.numbered_key ? quote_identifier(schema_.fields[0].name) : "rowid";
}

Statement& Connection::cached(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) it = statements_.emplace(sql, Statement(db(), sql, path_)).first;
    it->second.reset();
    return it->second;
}

std::int64_t Connection::data_version() {
    if (!data_version_.raw()) data_version_ = Statement(db(), "PRAGMA data_version", path_);
    data_version_.reset();
    const std::int64_t version = data_version_.step() ? data_version_.column_int(0) : -1;
    data_version_.reset();
    return version;
}

Connection::CountsState Connection::counts_state() {
    return {structure_version_, update_version_, data_version()};
}

void Connection::forget_stale_counts() {
    const CountsState now = counts_state();
    if (now == counts_state_) return;
    counts_state_ = now;
    constexpr size_t kMostStale = 16;  // a few status counts, not every query ever asked
    for (const auto& [query, count] : counts_)
        if (stale_queries_.size() < kMostStale &&
            std::find(stale_queries_.begin(), stale_queries_.end(), query) == stale_queries_.end())
            stale_queries_.push_back(query);
    counts_.clear();
}

std::optional<std::int64_t> Connection::remembered_count(const std::string& query) {
    forget_stale_counts();
    auto it = counts_.find(query);
    if (it == counts_.end()) return std::nullopt;
    return it->second;
}

void Connection::remember_count(const std::string& query, std::int64_t count) {
    forget_stale_counts();
    counts_[query] = count;
    stale_queries_.erase(std::remove(stale_queries_.begin(), stale_queries_.end(), query),
                         stale_queries_.end());
}

std::vector<std::string> Connection::stale_count_queries() {
    forget_stale_counts();
    return stale_queries_;
}

std::vector<FieldValue> Connection::blank_row() const {
    std::vector<FieldValue> row(schema_.fields.size());
    for (size_t i = 0; i < row.size(); ++i) {
        const FieldDef& def = schema_.fields[i];
        if (def.default_value.empty()) continue;
        if (is_numeric(def.type))
            row[i].number = std::strtoll(def.default_value.c_str(), nullptr, 10);
        else
            row[i].text = def.default_value;
    }
    return row;
}

bool Connection::read_row(std::int64_t row_id, std::vector<FieldValue>& values) {
    Statement& select = select_;
    select.reset();
    select.bind_int(1, row_id);
    if (!select.step()) return false;
    values.assign(schema_.fields.size(), FieldValue{});
    for (size_t i = 0; i < schema_.fields.size(); ++i) {
        int column = static_cast<int>(i);
        if (is_numeric(schema_.fields[i].type))
            values[i].number = select.column_int(column);
        else
            values[i].text = select.column_text(column);
    }
    select.reset();
    return true;
}

static void bind_values(Statement& st, const TableSchema& schema,
                        const std::vector<FieldValue>& values, size_t from) {
    int position = 1;
    for (size_t i = from; i < schema.fields.size(); ++i, ++position) {
        if (is_numeric(schema.fields[i].type))
            st.bind_int(position, values[i].number);
        else
            st.bind_text(position, values[i].text);
    }
}

void Connection::begin_batch() {
    if (lost_) throw lost_rows();
    if (in_batch_) {
        require_transaction();
        return;
    }
    exec_sql(db(), "BEGIN IMMEDIATE", path_);
    in_batch_ = true;
    batch_rows_ = 0;
}

StoreError Connection::lost_rows() const {
    return StoreError("The rows not yet stored in " + path_ +
                      " were lost when an earlier write to it failed");
}

void Connection::require_transaction() {
    if (!in_batch_ || !sqlite3_get_autocommit(db())) return;
    // The engine rolled the batch back when a write in it failed (a full disk): its rows are
    // gone, and saying so beats "no transaction is active", or the writes that follow each
    // committed on their own. A unit of work stays lost until it is rolled back.
    end_transaction();
    lost_ = held_;
    throw lost_rows();
}

void Connection::end_transaction() noexcept {
    if (!sqlite3_get_autocommit(db())) sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
    in_batch_ = false;
    batch_rows_ = 0;
    // Cursors read their rows again: appended ones may be gone, changed ones changed back.
    ++structure_version_;
    ++update_version_;
}

void Connection::commit() {
    if (lost_) throw lost_rows();
    if (!in_batch_) return;
    require_transaction();
    if (held_) return;  // the unit of work commits
    try {
        exec_sql(db(), "COMMIT", path_);
    } catch (...) {
        // A COMMIT that failed on a full disk has rolled the transaction back: the batch is
        // over, so that the next commit does not report "no transaction is active" in place of
        // this failure.
        if (sqlite3_get_autocommit(db())) {
            in_batch_ = false;
            batch_rows_ = 0;
        }
        throw;
    }
    in_batch_ = false;
    batch_rows_ = 0;
}

void Connection::hold() {
    if (held_) throw StoreError(path_ + " is already part of a unit of work");
    commit();  // what came before is not part of it
    begin_batch();
    held_ = true;
}

void Connection::write_out() {
    if (lost_) throw lost_rows();
    require_transaction();
    check_sqlite(db(), sqlite3_db_cacheflush(db()), path_);
}

void Connection::commit_held() {
    const bool lost = lost_;
    held_ = false;
    lost_ = false;
    if (lost) throw lost_rows();
    try {
        commit();
    } catch (...) {
        end_transaction();  // a COMMIT refused (busy) leaves the transaction running
        throw;
    }
}

void Connection::rollback_held() noexcept {
    held_ = false;
    lost_ = false;
    end_transaction();
}

std::int64_t Connection::insert_row(const std::vector<FieldValue>& values, bool batched) {
    return insert(values, batched, false);
}

std::int64_t Connection::insert_row_with_key(const std::vector<FieldValue>& values, bool batched) {
    return insert(values, batched, true);
}

std::int64_t Connection::insert(const std::vector<FieldValue>& values, bool batched,
                                bool with_key) {
    size_t from = schema_.numbered_key && !with_key ? 1 : 0;
    if (batched || held_) begin_batch();
    // A row numbered by the store takes the statement prepared with the connection; one that
    // keeps its own number names every column.
    Statement* insert = &insert_;
    if (from == 0 && schema_.numbered_key) {
        std::string placeholders;
        for (size_t i = 0; i < schema_.fields.size(); ++i) placeholders += i > 0 ? ", ?" : "?";
        insert = &cached("INSERT INTO records (" + column_list(schema_, 0) + ") VALUES (" +
                         placeholders + ")");
    } else {
        insert_.reset();
    }
    bind_values(*insert, schema_, values, from);
    insert->run();
    std::int64_t row_id = sqlite3_last_insert_rowid(db());
    ++structure_version_;
    if (batched && ++batch_rows_ >= kBatchRows) commit();
    if (!batched) commit();
    return row_id;
}

void Connection::update_row(std::int64_t row_id, const std::vector<FieldValue>& values,
                            bool batched) {
    size_t from = schema_.numbered_key ? 1 : 0;
    if (batched || held_) begin_batch();
    Statement& update = update_;
    update.reset();
    bind_values(update, schema_, values, from);
    update.bind_int(static_cast<int>(schema_.fields.size() - from + 1), row_id);
    update.run();
    ++update_version_;
    if (batched && ++batch_rows_ >= kBatchRows) commit();
    if (!batched) commit();
}

void Connection::delete_row(std::int64_t row_id) {
    if (held_) begin_batch();
    Statement& remove = cached("DELETE FROM records WHERE rowid = ?");
    remove.bind_int(1, row_id);
    remove.run();
    ++structure_version_;
    commit();
}

void Connection::change_all_at_once(const std::function<void()>& change) {
    if (held_) {
        begin_batch();
        change();
        ++structure_version_;
        return;
    }
    commit();
    exec_sql(db(), "BEGIN IMMEDIATE", path_);
    try {
        change();
        exec_sql(db(), "COMMIT", path_);
    } catch (...) {
        sqlite3_exec(db(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    ++structure_version_;
}

void Connection::delete_all_rows() {
    change_all_at_once([&] {
        exec_sql(db(), "DELETE FROM records", path_);
        // Numbering starts at 1 again in an emptied table.
        if (schema_.numbered_key)
            exec_sql(db(), "DELETE FROM sqlite_sequence WHERE name = 'records'", path_);
    });
}

std::int64_t Connection::last_key_number() {
    if (!schema_.numbered_key) throw StoreError(path_ + " has no numbered key");
    commit();
    Statement& sequence = cached("SELECT seq FROM sqlite_sequence WHERE name = 'records'");
    const std::int64_t number = sequence.step() ? sequence.column_int(0) : 0;
    sequence.reset();
    return number;
}

void Connection::delete_rows_after(std::int64_t number) {
    // No row is numbered beyond the last number given, so there is nothing to write: taking
    // back what never came needs no disk space, even on a full disk.
    if (last_key_number() <= number) return;
    change_all_at_once([&] {
        Statement& remove = cached("DELETE FROM records WHERE " + primary_column() + " > ?");
        remove.bind_int(1, number);
        remove.run();
        Statement& sequence = cached("UPDATE sqlite_sequence SET seq = ? WHERE name = 'records'");
        sequence.bind_int(1, number);
        sequence.run();
    });
}

}  // namespace lexorin::store
