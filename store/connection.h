#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "store/sqlite_handle.h"
#include "store/table_schema.h"

namespace lexorin::store {

// One open table file. A table file is an SQLite database marked with the program's application
// id, holding the rows in the table "records" (one column per field, declared TEXT, MEMO,
// INTEGER or LOGICAL; the key `Index` is INTEGER PRIMARY KEY AUTOINCREMENT) and one SQLite index
// per named order, named like the order.
class Connection {
  public:
    explicit Connection(std::string path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& path() const { return path_; }
    const TableSchema& schema() const { return schema_; }
    sqlite3* db() const { return db_.get(); }
    int field_position(const std::string& name) const;  // -1 when unknown
    // The column that orders rows when no order is chosen: `Index`, or the row id.
    std::string primary_column() const;

    // Counters that let cursors tell whether their row lists are still current.
    std::uint64_t structure_version() const { return structure_version_; }
    std::uint64_t update_version() const { return update_version_; }
    // The engine's count of commits to the file by other connections.
    std::int64_t data_version();

    bool read_row(std::int64_t row_id, std::vector<FieldValue>& values);
    std::int64_t insert_row(const std::vector<FieldValue>& values, bool batched);
    // The same, under the key `values` holds (a copy of a row keeps its number); fails when the
    // number is taken.
    std::int64_t insert_row_with_key(const std::vector<FieldValue>& values, bool batched);
    // `batched`: inside the running batch of appends, committed with it.
    void update_row(std::int64_t row_id, const std::vector<FieldValue>& values,
                    bool batched = false);
    void delete_row(std::int64_t row_id);
    void delete_all_rows();
    // The last number the store gave the key (0 when none yet), and the undoing of appends:
    // rows numbered above `number` go and numbering goes on after it.
    std::int64_t last_key_number();
    void delete_rows_after(std::int64_t number);

    // Appends run inside a transaction that is committed every kBatchRows rows, by commit(),
    // and before every other change, so a loop of appends costs one disk sync per batch.
    void commit();

    // A unit of work (see HeldTables): from hold() on, every change stays in one open
    // transaction, whatever would commit it otherwise (a batch of appends filling up, a post, a
    // delete, a flush), until commit_held() or rollback_held(). A held connection that is
    // destroyed rolls back.
    void hold();
    bool held() const { return held_; }
    // Writes the changes into the file, still uncommitted, so that the disk space they take is
    // taken now: a full disk fails here, and the commit that follows needs next to nothing.
    void write_out();
    // Commits and ends the hold; a commit that fails leaves the file as it was before hold().
    void commit_held();
    // Takes back every change since hold() and ends it.
    void rollback_held() noexcept;
    Statement& cached(const std::string& sql);

    // Row counts remembered by the text of their query, until the file changes: by this
    // connection (the versions above) or by another one (the engine's data version).
    std::optional<std::int64_t> remembered_count(const std::string& query);
    void remember_count(const std::string& query, std::int64_t count);
    // The queries whose counts the last change of the file made stale and that were not counted
    // since: a recount takes them in the same pass.
    std::vector<std::string> stale_count_queries();

    std::vector<FieldValue> blank_row() const;

    static constexpr int kBatchRows = 4096;
    static constexpr int kApplicationId = 0x4C58524E;  // "LXRN"

  private:
    void load_schema();
    void begin_batch();
    std::int64_t insert(const std::vector<FieldValue>& values, bool batched, bool with_key);
    // Raises the loss of the running transaction: the engine rolls one back by itself when a
    // write in it fails (a full disk), and the writes after it would then each commit alone.
    void require_transaction();
    StoreError lost_rows() const;
    // Rolls back what is still open and lets the cursors read their rows again.
    void end_transaction() noexcept;
    // Runs a change of many rows as one transaction of its own, or inside the unit of work.
    void change_all_at_once(const std::function<void()>& change);

    std::string path_;
    DatabaseHandle db_;
    TableSchema schema_;
    std::map<std::string, Statement> statements_;
    // Built once from the schema: the statements every row operation uses.
    Statement select_, insert_, update_;
    bool in_batch_ = false;
    bool held_ = false;
    bool lost_ = false;  // the unit of work lost its transaction to a failed write
    int batch_rows_ = 0;
    std::uint64_t structure_version_ = 1;
    std::uint64_t update_version_ = 1;

    // The state of the file the remembered counts belong to.
    struct CountsState {
        std::uint64_t structure = 0, update = 0;
        std::int64_t data = -1;
        bool operator==(const CountsState&) const = default;
    };
    CountsState counts_state();
    void forget_stale_counts();
    Statement data_version_;
    CountsState counts_state_;
    std::map<std::string, std::int64_t> counts_;
    // Queries whose counts went stale at the last change: counted again together on the next miss.
    std::vector<std::string> stale_queries_;
};

std::string declared_type(FieldType type);

}  // namespace lexorin::store
