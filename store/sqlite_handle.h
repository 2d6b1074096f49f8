#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>

namespace lexorin::store {

// RAII owners of the SQLite C API handles.
struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// A prepared statement, reset before every use and finalized on destruction.
class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql, const std::string& file);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void reset();
    void bind_int(int position, std::int64_t value);
    void bind_text(int position, const std::string& value);
    // true while a row is available; raises StoreError on an engine failure.
    bool step();
    void run();  // executes to the end, ignoring rows
    std::int64_t column_int(int column) const;
    std::string column_text(int column) const;
    bool column_is_null(int column) const;
    sqlite3_stmt* raw() const { return stmt_; }

  private:
    sqlite3_stmt* stmt_ = nullptr;
    std::string file_;
};

// Raises StoreError with "<file>: <engine text>" when rc is not OK.
void check_sqlite(sqlite3* db, int rc, const std::string& file);
void exec_sql(sqlite3* db, const std::string& sql, const std::string& file);
std::string quote_identifier(const std::string& name);

}  // namespace lexorin::store
