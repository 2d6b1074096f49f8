#include "store/held_tables.h"

#include <algorithm>

#include "base/errors.h"
#include "store/connection.h"
#include "store/table_store.h"

namespace lexorin::store {

HeldTables::HeldTables(const std::vector<Table*>& tables) {
    try {
        for (Table* table : tables) {
            std::shared_ptr<Connection> connection = table->conn_;
            if (!connection) throw StoreError("The table " + table->table_name() + " is not open");
            const bool known = std::any_of(held_.begin(), held_.end(), [&](const Held& held) {
                return held.connection == connection;
            });
            if (known) continue;
            const std::int64_t mark = connection->last_key_number();
            connection->hold();
            held_.push_back({connection, mark});
            marks_.push_back({table->table_name(), mark});
        }
    } catch (...) {
        Rollback();
        throw;
    }
}

HeldTables::~HeldTables() {
    for (Held& held : held_)
        if (!held.committed && held.connection->held()) held.connection->rollback_held();
}

std::int64_t HeldTables::mark_of(const Table& table) const {
    for (const Held& held : held_)
        if (held.connection == table.conn_) return held.mark;
    throw StoreError("The table " + table.table_name() + " is not part of the unit of work");
}

void HeldTables::WriteOut() {
    for (Held& held : held_) held.connection->write_out();
}

bool HeldTables::Appended() const {
    return std::any_of(held_.begin(), held_.end(), [](const Held& held) {
        return held.connection->last_key_number() > held.mark;
    });
}

void HeldTables::Commit() {
    try {
        for (Held& held : held_) held.connection->write_out();
        for (Held& held : held_) {
            held.connection->commit_held();
            held.committed = true;
        }
    } catch (...) {
        Rollback();
        throw;
    }
}

void HeldTables::Rollback() noexcept {
    for (Held& held : held_) {
        if (!held.committed) {
            if (held.connection->held()) held.connection->rollback_held();
            continue;
        }
        try {
            held.connection->delete_rows_after(held.mark);
            held.committed = false;
        } catch (const std::exception&) {
            restored_ = false;
        }
    }
}

}  // namespace lexorin::store
