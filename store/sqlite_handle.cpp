#include "store/sqlite_handle.h"

#include <cerrno>
#include <utility>

#include "base/errors.h"

namespace lexorin::store {

namespace {

// A full disk is named as such: the engine's own text ("database or disk is full", or a bare
// I/O error) does not tell the user to make room, and a later "cannot commit - no transaction
// is active" hides it altogether.
bool is_full_disk(sqlite3* db, int rc) {
    if ((rc & 0xff) == SQLITE_FULL) return true;
    if ((rc & 0xff) != SQLITE_IOERR || !db) return false;
    const int error = sqlite3_system_errno(db);
    return error == ENOSPC || error == EDQUOT;
}

[[noreturn]] void throw_store_error(sqlite3* db, int rc, const std::string& file,
                                    const std::string& text) {
    if (is_full_disk(db, rc)) throw StoreError("No space left on device while writing " + file);
    throw StoreError(file + ": " + text);
}

}  // namespace

void check_sqlite(sqlite3* db, int rc, const std::string& file) {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
    throw_store_error(db, rc, file, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

void exec_sql(sqlite3* db, const std::string& sql, const std::string& file) {
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw_store_error(db, rc, file, text);
    }
}

std::string quote_identifier(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

Statement::Statement(sqlite3* db, const std::string& sql, const std::string& file) : file_(file) {
    check_sqlite(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr), file);
}

Statement::~Statement() {
    if (stmt_) sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), file_(std::move(other.file_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        if (stmt_) sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        file_ = std::move(other.file_);
    }
    return *this;
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void Statement::bind_int(int position, std::int64_t value) {
    check_sqlite(sqlite3_db_handle(stmt_), sqlite3_bind_int64(stmt_, position, value), file_);
}

void Statement::bind_text(int position, const std::string& value) {
    check_sqlite(sqlite3_db_handle(stmt_),
                 sqlite3_bind_text(stmt_, position, value.data(), static_cast<int>(value.size()),
                                   SQLITE_TRANSIENT),
                 file_);
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3* db = sqlite3_db_handle(stmt_);
    std::string text = sqlite3_errmsg(db);
    rc = sqlite3_extended_errcode(db);
    sqlite3_reset(stmt_);
    throw_store_error(db, rc, file_, text);
}

void Statement::run() {
    while (step()) {
    }
}

std::int64_t Statement::column_int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::column_text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    int size = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(text, static_cast<size_t>(size)) : std::string();
}

bool Statement::column_is_null(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

}  // namespace lexorin::store
