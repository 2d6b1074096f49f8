#include "store/table_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/temporary_files.h"
#include "base/text_utils.h"
#include "store/connection.h"
#include "store/session.h"

namespace lexorin::store {

std::string why_not_a_table_file(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    if (S_ISDIR(st.st_mode)) return "it is a folder, not a table file";
    if (S_ISLNK(st.st_mode)) {
        char target[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        std::string to = n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string("?");
        struct stat pointed {};
        if (::stat(path.c_str(), &pointed) != 0)
            return "it is a link to " + to + ", which does not exist";
        if (S_ISREG(pointed.st_mode)) return {};
        if (S_ISDIR(pointed.st_mode)) return "it is a link to the folder " + to;
        return "it is a link to " + to + ", which is not a regular file";
    }
    return "it is not a regular file";
}

// Only for schema defaults, which come from the program, never from a user or a file.
static std::string sql_text_literal(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// The column definition of a field that is not the numbered key.
static std::string column_definition(const FieldDef& f) {
    std::string column = quote_identifier(f.name) + " " + declared_type(f.type);
    if (is_numeric(f.type))
        return column + " NOT NULL DEFAULT " +
               std::to_string(std::strtoll(f.default_value.c_str(), nullptr, 10));
    return column + " NOT NULL DEFAULT " + sql_text_literal(f.default_value);
}

// The table is built in a temporary file beside its place and linked there only when complete,
// so that a process killed on the way leaves no half-made table under the name (the next
// command would refuse it), only a temporary file the sweeps remove (base/temporary_files.h).
void create_table(const std::string& path, const TableSchema& schema) {
    std::optional<TemporaryFile> temp;
    try {
        temp.emplace(path);  // removed with its journal when anything below fails
    } catch (const Error& e) {
        throw StoreError(e.what());
    }
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(temp->path().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DatabaseHandle db(raw);
    check_sqlite(raw, rc, path);
    std::string columns;
    for (size_t i = 0; i < schema.fields.size(); ++i) {
        const FieldDef& f = schema.fields[i];
        if (i) columns += ", ";
        if (i == 0 && schema.numbered_key)
            columns += quote_identifier(f.name) + " " + declared_type(f.type) +
                       " PRIMARY KEY AUTOINCREMENT";
        else
            columns += column_definition(f);
    }
    std::string sql =
        "BEGIN; PRAGMA application_id = " + std::to_string(Connection::kApplicationId) +
        "; CREATE TABLE records (" + columns + ");";
    for (const auto& order : schema.orders) {
        sql += " CREATE INDEX " + quote_identifier(order.name) + " ON records (";
        for (size_t i = 0; i < order.fields.size(); ++i)
            sql += (i ? ", " : "") + quote_identifier(order.fields[i]);
        sql += ");";
    }
    exec_sql(raw, sql + " COMMIT;", path);
    db = DatabaseHandle();  // closed: the file is complete
    // A link fails when the name was taken meanwhile, as an exclusive create does.
    if (const int error = temp->link_as(path); error != 0) {
        const std::string why = error == EEXIST ? why_not_a_table_file(path) : std::string();
        throw StoreError("Cannot create table " + path + ": " +
                         (error != EEXIST ? std::strerror(error)
                          : why.empty()   ? "the file already exists"
                                          : why));
    }
}

std::vector<std::string> add_missing_fields(Session& session, const std::string& path,
                                            const TableSchema& schema,
                                            const std::vector<std::string>& addable) {
    std::vector<std::string> missing;
    {
        Connection probe(path);  // checks that the file is a table of this program
        for (const auto& f : schema.fields)
            if (probe.field_position(f.name) < 0) missing.push_back(f.name);
    }
    for (const auto& name : missing)
        if (std::none_of(addable.begin(), addable.end(),
                         [&](const std::string& a) { return equal_no_case(a, name); }))
            return {};
    if (missing.empty()) return missing;
    if (session.is_in_use(path))
        throw StoreError("Cannot add fields to " + path + ": the table is open");
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DatabaseHandle db(raw);
    check_sqlite(raw, rc, path);
    std::string sql = "BEGIN;";
    std::string names;
    for (const auto& f : schema.fields) {
        if (std::find(missing.begin(), missing.end(), f.name) == missing.end()) continue;
        sql += " ALTER TABLE records ADD COLUMN " + column_definition(f) + ";";
        names += (names.empty() ? "" : ", ") + f.name;
    }
    try {
        exec_sql(raw, sql + " COMMIT;", path);
    } catch (const StoreError& e) {
        throw StoreError("The table " + path + " lacks the fields " + names +
                         " and cannot be given them: " + e.what());
    }
    return missing;
}

void copy_table(Session& session, const std::string& source, const std::string& destination) {
    if (!file_exists(source)) throw StoreError("the table " + source + " does not exist");
    auto from = session.connect(source);
    from->commit();
    std::string existing = find_file_no_case(
        directory_of(destination).empty() ? std::string(".") : directory_of(destination),
        file_name_of(destination));
    if (!existing.empty())
        throw StoreError("Cannot create table " + destination + ": the file already exists");
    // Built under a temporary name and linked in place when complete, as create_table does.
    std::optional<TemporaryFile> temp;
    try {
        temp.emplace(destination);
    } catch (const Error& e) {
        throw StoreError(e.what());
    }
    ::fchmod(temp->fd(), 0644);
    {
        sqlite3* raw = nullptr;
        int rc = sqlite3_open_v2(temp->path().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        DatabaseHandle to(raw);
        if (rc != SQLITE_OK) throw StoreError(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        sqlite3_backup* backup = sqlite3_backup_init(raw, "main", from->db(), "main");
        if (!backup) throw StoreError(sqlite3_errmsg(raw));
        sqlite3_backup_step(backup, -1);
        rc = sqlite3_backup_finish(backup);
        if (rc != SQLITE_OK) throw StoreError(sqlite3_errmsg(raw));
    }
    if (const int error = temp->link_as(destination); error != 0) {
        const std::string why = error == EEXIST ? why_not_a_table_file(destination) : std::string();
        throw StoreError("Cannot create table " + destination + ": " +
                         (error != EEXIST ? std::strerror(error)
                          : why.empty()   ? "the file already exists"
                                          : why));
    }
}

std::string find_file_no_case(const std::string& directory, const std::string& name) {
    std::string dir = directory.empty() ? std::string(".") : directory;
    if (file_exists(join_path(dir, name))) return name;
    std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
    if (!handle) return {};
    while (dirent* entry = ::readdir(handle.get()))
        if (equal_no_case(entry->d_name, name) && file_exists(join_path(dir, entry->d_name)))
            return entry->d_name;
    return {};
}

std::vector<std::string> table_files(const std::string& directory, const std::string& name) {
    std::vector<std::string> found;
    std::string dir = directory.empty() ? std::string(".") : directory;
    std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
    if (!handle) return found;
    std::string upper = upper_case(name);
    while (dirent* entry = ::readdir(handle.get())) {
        std::string candidate = upper_case(entry->d_name);
        bool companion = starts_with(candidate, upper + "-");
        if ((candidate == upper || companion) && file_exists(join_path(dir, entry->d_name)))
            found.push_back(join_path(dir, entry->d_name));
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace lexorin::store
