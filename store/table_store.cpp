#include "store/table_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "store/connection.h"
#include "store/filter_expression.h"
#include "store/table_files.h"

namespace lexorin::store {

// ---------------------------------------------------------------------------------------------
// Value conversions

namespace {

const FieldValue kBlank{};

std::int64_t parse_integer(const std::string& text, const std::string& field) {
    std::string t = trim(text);
    if (t.empty()) return 0;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
        throw Error("'" + text + "' ist kein g\xFCltiger Integerwert f\xFCr das Feld '" + field +
                    "'");
    return v;
}

bool parse_logical(const std::string& text, const std::string& field) {
    std::string t = upper_case(trim(text));
    if (t == "WAHR" || t == "TRUE" || t == "1" || t == "T" || t == "YES") return true;
    if (t == "FALSCH" || t == "FALSE" || t == "0" || t == "F" || t == "NO" || t.empty())
        return false;
    throw Error("'" + text + "' ist kein g\xFCltiger Boolescher Wert f\xFCr das Feld '" + field +
                "'");
}

void assign(FieldValue& target, const FieldDef& def, const Value& value) {
    switch (value.kind()) {
        case Value::Kind::Blank:
            target = FieldValue{};
            break;
        case Value::Kind::Number:
            if (is_numeric(def.type))
                target.number =
                    def.type == FieldType::Logical ? (value.number() != 0) : value.number();
            else
                target.text = std::to_string(value.number());
            break;
        case Value::Kind::Text:
            if (def.type == FieldType::Integer)
                target.number = parse_integer(value.text(), def.name);
            else if (def.type == FieldType::Logical)
                target.number = parse_logical(value.text(), def.name);
            else
                target.text = value.text();
            break;
    }
    if (def.type == FieldType::Text) target.text = trim_right_blanks(target.text);
}

void bind_value(Statement& st, int position, const FieldDef& def, const Value& value) {
    FieldValue converted;
    assign(converted, def, value);
    if (is_numeric(def.type))
        st.bind_int(position, converted.number);
    else
        st.bind_text(position, converted.text);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Table

struct Table::Compiled {
    std::vector<Comparison> comparisons;
};

Table::Table(Session& session) : session_(session) {}

Table::Table(Session& session, std::string directory, std::string table_name)
    : session_(session), directory_(std::move(directory)), table_name_(std::move(table_name)) {}

Table::~Table() {
    try {
        close();
    } catch (...) {
    }
}

void Table::set_directory(std::string directory) {
    if (is_open()) throw StoreError("Cannot change the directory of the open table " + path());
    directory_ = std::move(directory);
}

void Table::set_table_name(std::string table_name) {
    if (is_open()) throw StoreError("Cannot change the name of the open table " + path());
    table_name_ = std::move(table_name);
}

std::string Table::path() const {
    std::string dir = directory_.empty() ? std::string(".") : directory_;
    std::string found = find_file_no_case(dir, table_name_);
    std::string name = found.empty() ? table_name_ : found;
    return directory_.empty() ? name : join_path(directory_, name);
}

Connection& Table::conn() const {
    if (!conn_) throw StoreError("The table " + table_name_ + " is not open");
    return *conn_;
}

const TableSchema& Table::schema() const {
    return conn().schema();
}

void Table::open() {
    if (is_open()) return;
    std::string file = path();
    if (!file_exists(file)) throw StoreError("Table not found: " + file);
    conn_ = session_.connect(file);
    state_ = State::Browse;
    order_positions_.clear();
    if (!index_name_.empty()) {
        std::string name = index_name_;
        index_name_.clear();
        set_index_name(name);
    }
    if (filtered_ && !filter_text_.empty()) set_filter(filter_text_);
    invalidate_rows();
    clear_current();
    first();
}

void Table::close() {
    if (!is_open()) return;
    state_ = State::Inactive;
    compiled_.reset();
    invalidate_rows();
    spare_rows_.clear();
    auto conn = std::move(conn_);
    clear_current();
    if (conn) conn->commit();
}

void Table::require_open(const char* what) const {
    if (!is_open())
        throw StoreError(std::string("Cannot ") + what + ": the table " + table_name_ +
                         " is not open");
}

void Table::require_editing() const {
    if (state_ != State::Edit && state_ != State::Insert)
        throw Error("Datenmenge " + table_name_ +
                    " befindet sich nicht im Editier- oder Einf\xFCgemodus");
}

void Table::set_index_name(const std::string& name) {
    if (state_ == State::Edit || state_ == State::Insert) post();
    index_name_ = name;
    order_positions_.clear();
    invalidate_rows();
    position_.reset();
    if (!is_open() || name.empty()) return;
    for (const auto& order : schema().orders) {
        if (!equal_no_case(order.name, name)) continue;
        for (const auto& field : order.fields) order_positions_.push_back(field_position(field));
        return;
    }
    index_name_.clear();
    throw StoreError("Index '" + name + "' not found in table " + conn().path());
}

// ---- rows visible to the cursor ----

void Table::invalidate_rows() {
    if (rows_built_ && !rows_query_.empty() && conn_) {
        constexpr size_t kSpares = 2;  // a few lists of a million rows are a few megabytes each
        spare_rows_.insert(
            spare_rows_.begin(),
            SpareRows{std::move(rows_query_), std::move(rows_), rows_structure_version_,
                      rows_update_version_, rows_depend_on_values_, rows_data_version_});
        if (spare_rows_.size() > kSpares) spare_rows_.resize(kSpares);
    }
    // Lists of a file that changed since are of no use any more.
    std::erase_if(spare_rows_, [&](const SpareRows& spare) { return !spare_fresh(spare); });
    rows_built_ = false;
    rows_.clear();
    rows_query_.clear();
    row_places_.clear();
    linear_lookups_ = 0;
}

// The text that tells row lists apart: the statement and the values bound to it.
std::string Table::rows_query(const std::string& sql, const std::vector<Value>& binds) const {
    std::string query = sql;
    for (const auto& value : binds) {
        query += '\x1f';
        if (value.kind() == Value::Kind::Number)
            query += std::to_string(value.number());
        else if (value.kind() == Value::Kind::Text)
            query += "'" + value.text();
    }
    return query;
}

bool Table::spare_fresh(const SpareRows& spare) {
    if (!conn_ || spare.structure_version != conn_->structure_version()) return false;
    if (spare.depends_on_values && spare.update_version != conn_->update_version()) return false;
    // A commit by another connection may have changed any row: read them again, as before.
    return spare.data_version == conn_->data_version();
}

bool Table::take_spare_rows(const std::string& query) {
    for (auto it = spare_rows_.begin(); it != spare_rows_.end(); ++it) {
        if (it->query != query || !spare_fresh(*it)) continue;
        rows_ = std::move(it->ids);
        spare_rows_.erase(it);
        return true;
    }
    return false;
}

std::string Table::master_key_text() const {
    if (!master_) return {};
    if (!master_->is_open() || !master_->has_current()) return "\x01none";
    return std::to_string(master_->integer(master_field_));
}

bool Table::rows_fresh() const {
    if (!rows_built_ || !conn_) return false;
    if (rows_structure_version_ != conn_->structure_version()) return false;
    bool depends_on_values = (filtered_ && compiled_) || accept_ || !order_positions_.empty();
    if (depends_on_values && rows_update_version_ != conn_->update_version()) return false;
    return rows_master_key_ == master_key_text();
}

std::string Table::where_clause(std::vector<Value>& binds) const {
    std::vector<std::string> parts;
    const auto& fields = schema().fields;
    if (filtered_ && compiled_) {
        for (const auto& c : compiled_->comparisons) {
            const FieldDef& def = fields[c.field];
            parts.push_back(quote_identifier(def.name) + " " + c.op + " ?");
            binds.emplace_back(c.value);  // converted to the field's type when bound
        }
    }
    if (master_) {
        std::string key = master_key_text();
        if (key == "\x01none") {
            parts.push_back("0");
        } else {
            parts.push_back(conn().primary_column() + " = ?");
            binds.emplace_back(static_cast<std::int64_t>(std::stoll(key)));
        }
    }
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? " AND " : " WHERE ") + parts[i];
    return out;
}

static void bind_all(Statement& st, const TableSchema& schema, const std::vector<int>& fields,
                     const std::vector<Value>& binds) {
    for (size_t i = 0; i < binds.size(); ++i) {
        int position = static_cast<int>(i + 1);
        if (fields[i] < 0) {
            st.bind_int(position, binds[i].number());
        } else {
            bind_value(st, position, schema.fields[fields[i]], binds[i]);
        }
    }
}

bool Table::passes_accept(std::int64_t row_id) {
    if (!accept_) return true;
    // The test reads the candidate through the ordinary field accessors.
    auto saved_values = std::move(values_);
    auto saved_current = current_;
    auto saved_state = state_;
    state_ = State::Browse;
    current_ = row_id;
    bool ok = conn().read_row(row_id, values_) && accept_(*this);
    values_ = std::move(saved_values);
    current_ = saved_current;
    state_ = saved_state;
    return ok;
}

void Table::ensure_rows() {
    if (rows_fresh()) {
        if (current_ && !position_) locate_current_in_rows();
        return;
    }
    std::vector<Value> binds;
    std::string where = where_clause(binds);
    std::vector<int> bind_fields;
    if (filtered_ && compiled_)
        for (const auto& c : compiled_->comparisons) bind_fields.push_back(c.field);
    if (master_ && binds.size() > bind_fields.size()) bind_fields.push_back(-1);

    std::string order;
    for (int position : order_positions_)
        order += quote_identifier(schema().fields[position].name) + ", ";
    order += conn().primary_column();

    const std::string sql = "SELECT rowid FROM records" + where + " ORDER BY " + order;
    std::string query = accept_ ? std::string() : rows_query(sql, binds);
    invalidate_rows();
    if (query.empty() || !take_spare_rows(query)) {
        Statement st(conn().db(), sql, conn().path());
        bind_all(st, schema(), bind_fields, binds);
        while (st.step()) rows_.push_back(st.column_int(0));
    }
    rows_query_ = std::move(query);
    // A list in key order without a condition holds whatever rows the file has; one in another
    // order or under a filter depends on the values in them too.
    rows_depend_on_values_ = !order_positions_.empty() || (filtered_ && compiled_);
    rows_data_version_ = conn().data_version();
    if (accept_) {
        std::vector<std::int64_t> kept;
        for (auto id : rows_)
            if (passes_accept(id)) kept.push_back(id);
        rows_ = std::move(kept);
    }
    rows_built_ = true;
    rows_structure_version_ = conn().structure_version();
    rows_update_version_ = conn().update_version();
    rows_master_key_ = master_key_text();
    locate_current_in_rows();
}

void Table::locate_current_in_rows() {
    if (rows_.empty()) {
        clear_current();
        return;
    }
    if (current_) {
        if (std::optional<size_t> found = find_position(*current_)) {
            position_ = found;
            return;
        }
    }
    // The current row left the visible rows: its neighbour in the old place takes over.
    size_t place = std::min(position_.value_or(0), rows_.size() - 1);
    move_to_position(place);
}

std::optional<size_t> Table::find_position(std::int64_t row_id) {
    if (order_positions_.empty()) {
        auto it = std::lower_bound(rows_.begin(), rows_.end(), row_id);
        if (it != rows_.end() && *it == row_id) return static_cast<size_t>(it - rows_.begin());
        return std::nullopt;
    }
    // One look-up walks the list; a list looked up again gets a map, which costs more than a
    // walk to make.
    if (row_places_.empty() && ++linear_lookups_ <= 1) {
        auto it = std::find(rows_.begin(), rows_.end(), row_id);
        if (it == rows_.end()) return std::nullopt;
        return static_cast<size_t>(it - rows_.begin());
    }
    if (row_places_.empty())
        for (size_t i = 0; i < rows_.size(); ++i) row_places_.emplace(rows_[i], i);
    auto it = row_places_.find(row_id);
    if (it == row_places_.end()) return std::nullopt;
    return it->second;
}

void Table::clear_current() {
    current_.reset();
    position_.reset();
    values_.clear();
    eof_ = bof_ = true;
}

void Table::load_current() {
    values_.clear();
    if (current_ && !conn().read_row(*current_, values_)) {
        current_.reset();
        position_.reset();
    }
}

void Table::move_to_position(size_t position) {
    position_ = position;
    current_ = rows_[position];
    load_current();
}

// ---- cursor ----

void Table::first() {
    require_open("move to the first row");
    if (state_ != State::Browse) post();
    ensure_rows();
    if (rows_.empty()) {
        clear_current();
        return;
    }
    move_to_position(0);
    bof_ = true;
    eof_ = false;
}

void Table::last() {
    require_open("move to the last row");
    if (state_ != State::Browse) post();
    ensure_rows();
    if (rows_.empty()) {
        clear_current();
        return;
    }
    move_to_position(rows_.size() - 1);
    eof_ = true;
    bof_ = false;
}

void Table::next() {
    require_open("move to the next row");
    if (state_ != State::Browse) post();
    ensure_rows();
    if (rows_.empty()) {
        clear_current();
        return;
    }
    if (!current_) {
        eof_ = true;
        return;
    }
    size_t position = position_.value_or(0);
    if (position + 1 < rows_.size()) {
        move_to_position(position + 1);
        eof_ = bof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::prior() {
    require_open("move to the previous row");
    if (state_ != State::Browse) post();
    ensure_rows();
    if (rows_.empty()) {
        clear_current();
        return;
    }
    size_t position = position_.value_or(0);
    if (current_ && position > 0) {
        move_to_position(position - 1);
        eof_ = bof_ = false;
    } else {
        bof_ = true;
    }
}

int Table::record_count() {
    require_open("count rows");
    ensure_rows();
    return static_cast<int>(rows_.size());
}

int Table::rec_no() {
    if (!is_open() || !current_) return -1;
    if (state_ == State::Insert) return -1;
    ensure_rows();
    return current_ && position_ ? static_cast<int>(*position_) + 1 : -1;
}

bool Table::move_to_record(int rec_no) {
    require_open("move to a row");
    if (state_ != State::Browse) post();
    ensure_rows();
    if (rec_no < 1 || static_cast<size_t>(rec_no) > rows_.size()) return false;
    move_to_position(static_cast<size_t>(rec_no - 1));
    eof_ = bof_ = false;
    return true;
}

const std::vector<std::int64_t>& Table::visible_row_ids() {
    require_open("list rows");
    ensure_rows();
    return rows_;
}

int Table::position_of(std::int64_t row_id) {
    require_open("list rows");
    ensure_rows();
    std::optional<size_t> found = find_position(row_id);
    return found ? static_cast<int>(*found) : -1;
}

void Table::scan_field(const std::string& field,
                       const std::function<void(std::int64_t, const std::string&)>& visit) {
    require_open("read rows");
    int position = field_position(field);
    const FieldDef& def = schema().fields[position];
    Statement st(conn().db(), "SELECT rowid, " + quote_identifier(def.name) + " FROM records",
                 conn().path());
    const bool numeric = is_numeric(def.type);
    std::string text;  // one buffer for all rows: no allocation per row
    while (st.step()) {
        sqlite3_stmt* raw = st.raw();
        if (numeric) {
            text = std::to_string(sqlite3_column_int64(raw, 1));
        } else {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
            text.assign(bytes ? bytes : "",
                        bytes ? static_cast<size_t>(sqlite3_column_bytes(raw, 1)) : 0);
        }
        visit(sqlite3_column_int64(raw, 0), text);
    }
}

namespace {

// The condition of a filter expression and the values it binds; "" for an empty expression.
struct CountCondition {
    std::string sql;
    std::vector<int> fields;
    std::vector<Value> binds;
};

CountCondition count_condition(const std::string& expression, const TableSchema& schema,
                               const std::string& path) {
    CountCondition c;
    std::vector<Comparison> comparisons;
    try {
        comparisons = parse_filter(expression, schema);
    } catch (const StoreError& e) {
        throw StoreError(std::string(e.what()) + " (" + path + ")");
    }
    for (const auto& comparison : comparisons) {
        c.sql += (c.sql.empty() ? "" : " AND ") +
                 quote_identifier(schema.fields[comparison.field].name) + " " + comparison.op +
                 " ?";
        c.binds.emplace_back(comparison.value);
        c.fields.push_back(comparison.field);
    }
    return c;
}

// The counts of rows passing each condition, as the columns of one statement over all rows.
std::string counting_columns(const std::vector<CountCondition>& conditions) {
    std::string columns;
    for (const auto& c : conditions)
        columns +=
            (columns.empty() ? "" : ", ") +
            (c.sql.empty() ? std::string("COUNT(*)") : "COUNT(*) FILTER (WHERE " + c.sql + ")");
    return columns;
}

// The values of the conditions, bound in their order.
void bind_conditions(Statement& st, const TableSchema& schema,
                     const std::vector<CountCondition>& conditions) {
    std::vector<int> fields;
    std::vector<Value> binds;
    for (const auto& c : conditions) {
        fields.insert(fields.end(), c.fields.begin(), c.fields.end());
        binds.insert(binds.end(), c.binds.begin(), c.binds.end());
    }
    bind_all(st, schema, fields, binds);
}

}  // namespace

int Table::count_where(const std::string& expression) {
    return count_each({expression})[0];
}

std::vector<int> Table::count_each(const std::vector<std::string>& expressions) {
    require_open("count rows");
    std::vector<int> result(expressions.size(), 0);
    std::vector<std::string> counted;  // the expressions of this pass, each once
    std::vector<CountCondition> conditions;
    for (const auto& expression : expressions) {
        CountCondition condition =
            count_condition(expression, schema(), conn().path());  // bad ones fail, known or not
        if (conn().remembered_count(expression) ||
            std::find(counted.begin(), counted.end(), expression) != counted.end())
            continue;
        counted.push_back(expression);
        conditions.push_back(std::move(condition));
    }
    if (!counted.empty()) {
        // The counts the last change made stale are taken in the same pass: a status line asks
        // for a few counts after every change, and each would cost a pass over the whole file.
        for (const auto& stale : conn().stale_count_queries()) {
            if (std::find(counted.begin(), counted.end(), stale) != counted.end()) continue;
            try {
                conditions.push_back(count_condition(stale, schema(), conn().path()));
                counted.push_back(stale);
            } catch (const StoreError&) {
            }
        }
        // One condition alone goes into WHERE, where the engine may use an index for it.
        const std::string& only = conditions[0].sql;
        const std::string sql =
            conditions.size() == 1
                ? "SELECT COUNT(*) FROM records" + (only.empty() ? "" : " WHERE " + only)
                : "SELECT " + counting_columns(conditions) + " FROM records";
        Statement st(conn().db(), sql, conn().path());
        bind_conditions(st, schema(), conditions);
        const bool row = st.step();
        std::vector<std::int64_t> counts(counted.size(), 0);
        for (size_t i = 0; row && i < counted.size(); ++i)
            counts[i] = st.column_int(static_cast<int>(i));
        st.reset();
        for (size_t i = 0; i < counted.size(); ++i) conn().remember_count(counted[i], counts[i]);
    }
    for (size_t i = 0; i < expressions.size(); ++i)
        result[i] = static_cast<int>(conn().remembered_count(expressions[i]).value_or(0));
    return result;
}

std::map<std::int64_t, std::vector<int>> Table::count_by(
    const std::string& group_field, const std::vector<std::string>& expressions) {
    require_open("count rows");
    const std::string group = quote_identifier(schema().fields[field_position(group_field)].name);
    std::vector<CountCondition> conditions;
    std::string columns = group;
    for (const auto& expression : expressions) {
        conditions.push_back(count_condition(expression, schema(), conn().path()));
        const std::string& sql = conditions.back().sql;
        columns += ", " + (sql.empty() ? std::string("1") : "(" + sql + ")");
    }
    // Each row's group and whether it passes each condition, summed here: the engine's GROUP BY
    // sorts all rows first, which takes longer than the pass itself.
    Statement st(conn().db(), "SELECT " + columns + " FROM records", conn().path());
    bind_conditions(st, schema(), conditions);
    std::map<std::int64_t, std::vector<int>> result;
    std::vector<int>* counts = nullptr;
    std::int64_t last_group = 0;
    while (st.step()) {
        sqlite3_stmt* raw = st.raw();
        const std::int64_t value = sqlite3_column_int64(raw, 0);
        // The rows of one group mostly come together.
        if (!counts || value != last_group) {
            counts = &result[value];
            counts->resize(conditions.size(), 0);
            last_group = value;
        }
        for (size_t i = 0; i < conditions.size(); ++i)
            (*counts)[i] += sqlite3_column_int64(raw, static_cast<int>(i + 1)) != 0;
    }
    return result;
}

Bookmark Table::bookmark() const {
    if (!current_) return {};
    return {*current_, true};
}

bool Table::bookmark_valid(const Bookmark& mark) {
    if (!mark.valid || !is_open()) return false;
    ensure_rows();
    return find_position(mark.row_id).has_value();
}

void Table::go_to_bookmark(const Bookmark& mark) {
    require_open("return to a bookmark");
    if (state_ != State::Browse) post();
    ensure_rows();
    std::optional<size_t> found = mark.valid ? find_position(mark.row_id) : std::nullopt;
    if (!found) throw StoreError("Datensatz nicht gefunden (" + conn().path() + ")");
    move_to_position(*found);
    eof_ = bof_ = false;
}

bool Table::find_key(const std::vector<Value>& values) {
    require_open("search");
    if (state_ != State::Browse) post();
    std::vector<int> key_fields = order_positions_;
    if (key_fields.empty()) key_fields.push_back(schema().numbered_key ? 0 : -1);
    if (values.size() > key_fields.size())
        throw StoreError("Too many key values for the order of " + conn().path());

    std::vector<Value> binds;
    std::string where = where_clause(binds);
    std::vector<int> bind_fields;
    if (filtered_ && compiled_)
        for (const auto& c : compiled_->comparisons) bind_fields.push_back(c.field);
    if (master_ && binds.size() > bind_fields.size()) bind_fields.push_back(-1);
    for (size_t i = 0; i < values.size(); ++i) {
        int position = key_fields[i];
        std::string column =
            position < 0 ? "rowid" : quote_identifier(schema().fields[position].name);
        where += (where.empty() ? " WHERE " : " AND ") + column + " = ?";
        binds.push_back(values[i]);
        bind_fields.push_back(position);
    }
    std::string order;
    for (int position : order_positions_)
        order += quote_identifier(schema().fields[position].name) + ", ";
    order += conn().primary_column();
    const std::string sql =
        "SELECT rowid FROM records" + where + " ORDER BY " + order + (accept_ ? "" : " LIMIT 1");
    // Without an accept test the search is one step of a statement prepared once per handle's
    // connection (an import looks up every entry); an accept test may search again while the
    // rows are stepped through, so it gets a statement of its own.
    std::optional<Statement> own;
    Statement& st = accept_ ? own.emplace(conn().db(), sql, conn().path()) : conn().cached(sql);
    struct Done {
        Statement& statement;
        ~Done() { statement.reset(); }  // a statement left on a row keeps the file read-locked
    } done{st};
    bind_all(st, schema(), bind_fields, binds);
    while (st.step()) {
        std::int64_t id = st.column_int(0);
        if (!passes_accept(id)) continue;
        current_ = id;
        position_.reset();
        load_current();
        if (rows_fresh()) locate_current_in_rows();
        eof_ = bof_ = false;
        return true;
    }
    return false;
}

// ---- changes ----

void Table::append_record(const std::vector<Value>& values) {
    append_row(values, false);
}

void Table::append_record_with_key(const std::vector<Value>& values) {
    append_row(values, true);
}

void Table::append_row(const std::vector<Value>& values, bool keep_key) {
    require_open("append");
    if (state_ != State::Browse) post();
    const auto& fields = schema().fields;
    if (values.size() > fields.size())
        throw StoreError("Too many values for a row of " + conn().path());
    std::vector<FieldValue> row = conn().blank_row();
    for (size_t i = 0; i < values.size(); ++i) {
        if (i == 0 && schema().numbered_key && !keep_key) continue;  // the store numbers it
        assign(row[i], fields[i], values[i]);
    }
    bool was_fresh = rows_fresh();
    std::int64_t id =
        keep_key ? conn().insert_row_with_key(row, true) : conn().insert_row(row, true);
    if (schema().numbered_key) row[0].number = id;
    bool simple_order =
        order_positions_.empty() && !(filtered_ && compiled_) && !accept_ && !master_;
    // A kept key may fill a gap; only a row at the end extends the list as it stands.
    if (was_fresh && simple_order && (rows_.empty() || id > rows_.back())) {
        rows_.push_back(id);
        position_ = rows_.size() - 1;
        rows_structure_version_ = conn().structure_version();
    } else {
        position_.reset();
    }
    current_ = id;
    values_ = std::move(row);
    eof_ = bof_ = false;
}

void Table::insert() {
    require_open("insert");
    if (state_ != State::Browse) post();
    buffer_ = conn().blank_row();
    state_ = State::Insert;
}

void Table::edit() {
    require_open("edit");
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (!current_)
        throw StoreError("Cannot edit: the table " + conn().path() + " has no current row");
    load_current();
    if (!current_) throw StoreError("Datensatz nicht gefunden (" + conn().path() + ")");
    buffer_ = values_;
    state_ = State::Edit;
}

void Table::post() {
    post_row(false);
}

void Table::post_batched() {
    post_row(true);
}

void Table::post_row(bool batched) {
    require_editing();
    if (state_ == State::Insert) {
        std::int64_t id = conn().insert_row(buffer_, batched);
        if (schema().numbered_key) buffer_[0].number = id;
        current_ = id;
    } else {
        conn().update_row(*current_, buffer_, batched);
    }
    values_ = std::move(buffer_);
    buffer_.clear();
    state_ = State::Browse;
    position_.reset();
    eof_ = bof_ = false;
}

void Table::cancel() {
    if (state_ == State::Edit || state_ == State::Insert) state_ = State::Browse;
    buffer_.clear();
}

void Table::delete_record() {
    require_open("delete");
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (!current_)
        throw StoreError("Cannot delete: the table " + conn().path() + " has no current row");
    ensure_rows();
    size_t place = position_.value_or(0);
    conn().delete_row(*current_);
    current_.reset();
    ensure_rows();
    if (rows_.empty()) {
        clear_current();
        return;
    }
    move_to_position(std::min(place, rows_.size() - 1));
    eof_ = bof_ = false;
}

void Table::empty() {
    if (is_open()) {
        cancel();
        conn().delete_all_rows();
        clear_current();
        invalidate_rows();
        return;
    }
    std::string file = path();
    if (!file_exists(file)) throw StoreError("Table not found: " + file);
    session_.connect(file)->delete_all_rows();
}

std::int64_t Table::last_key_number() {
    if (!is_open()) open();
    return conn().last_key_number();
}

void Table::delete_rows_after(std::int64_t number) {
    if (!is_open()) open();
    cancel();
    conn().delete_rows_after(number);
    clear_current();
    invalidate_rows();
}

void Table::flush() {
    if (conn_) conn_->commit();
}

// ---- fields ----

int Table::field_position(const std::string& name) const {
    int position = conn().field_position(name);
    if (position < 0)
        throw StoreError("Feld '" + name + "' nicht gefunden (" + conn().path() + ")");
    return position;
}

bool Table::has_field(const std::string& name) const {
    return conn_ && conn_->field_position(name) >= 0;
}

const FieldValue& Table::value_at(int position) const {
    if (state_ == State::Edit || state_ == State::Insert) return buffer_[position];
    if (!current_ || values_.empty()) return kBlank;
    return values_[position];
}

std::string Table::text(const std::string& field) const {
    int position = field_position(field);
    const FieldDef& def = schema().fields[position];
    const FieldValue& v = value_at(position);
    if (def.type == FieldType::Logical) return v.number ? "Wahr" : "Falsch";
    if (def.type == FieldType::Integer) return std::to_string(v.number);
    return v.text;
}

std::int64_t Table::integer(const std::string& field) const {
    int position = field_position(field);
    const FieldDef& def = schema().fields[position];
    const FieldValue& v = value_at(position);
    return is_numeric(def.type) ? v.number : parse_integer(v.text, def.name);
}

bool Table::logical(const std::string& field) const {
    int position = field_position(field);
    const FieldDef& def = schema().fields[position];
    const FieldValue& v = value_at(position);
    return is_numeric(def.type) ? v.number != 0 : parse_logical(v.text, def.name);
}

void Table::set_text(const std::string& field, const std::string& value) {
    require_editing();
    int position = field_position(field);
    assign(buffer_[position], schema().fields[position], Value(value));
}

void Table::set_integer(const std::string& field, std::int64_t value) {
    require_editing();
    int position = field_position(field);
    assign(buffer_[position], schema().fields[position], Value(value));
}

void Table::set_logical(const std::string& field, bool value) {
    require_editing();
    int position = field_position(field);
    assign(buffer_[position], schema().fields[position], Value(value));
}

std::int64_t Table::row_id() const {
    if (!current_) throw StoreError("The table " + table_name_ + " has no current row");
    return *current_;
}

// ---- filter and link ----

void Table::set_filter(const std::string& expression) {
    filter_text_ = expression;
    compiled_.reset();
    if (is_open() && !trim(expression).empty()) {
        auto compiled = std::make_unique<Compiled>();
        try {
            compiled->comparisons = parse_filter(expression, schema());
        } catch (const StoreError& e) {
            throw StoreError(std::string(e.what()) + " (" + conn().path() + ")");
        }
        compiled_ = std::move(compiled);
    }
    invalidate_rows();
    if (is_open() && state_ == State::Browse && filtered_) first();
}

void Table::set_filtered(bool on) {
    if (filtered_ == on) return;
    filtered_ = on;
    if (on && is_open() && !compiled_ && !trim(filter_text_).empty()) {
        set_filter(filter_text_);
        return;
    }
    invalidate_rows();
    if (is_open() && state_ == State::Browse) first();
}

void Table::set_accept_test(AcceptTest test) {
    accept_ = std::move(test);
    invalidate_rows();
    if (is_open() && state_ == State::Browse) first();
}

void Table::set_master(const Table* master, const std::string& master_field) {
    master_ = master;
    master_field_ = master_field;
    invalidate_rows();
    if (is_open() && state_ == State::Browse) first();
}

}  // namespace lexorin::store
