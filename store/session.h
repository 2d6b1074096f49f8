#pragma once

#include <map>
#include <memory>
#include <string>

namespace lexorin::store {

class Connection;

// One open file per path, shared by every handle of a session, so that all handles on a table
// see the same rows at once (appends are batched into transactions, see Table::append_record).
// The session plays the part of the engine's default session; it must outlive its tables. A
// session and its tables serve one thread at a time: their connections take no locks of their own.
class Session {
  public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::shared_ptr<Connection> connect(const std::string& path);
    // Commits the pending appends of every open file.
    void flush_all();
    // True while some handle holds the file open.
    bool is_in_use(const std::string& path) const;

  private:
    std::map<std::string, std::weak_ptr<Connection>> connections_;
};

}  // namespace lexorin::store
