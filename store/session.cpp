#include "store/session.h"

#include <climits>
#include <cstdlib>

#include "store/connection.h"

namespace lexorin::store {

static std::string canonical_key(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

Session::Session() = default;
Session::~Session() = default;

std::shared_ptr<Connection> Session::connect(const std::string& path) {
    std::string key = canonical_key(path);
    if (auto it = connections_.find(key); it != connections_.end()) {
        if (auto alive = it->second.lock()) return alive;
    }
    auto connection = std::make_shared<Connection>(path);
    connections_[key] = connection;
    return connection;
}

void Session::flush_all() {
    for (auto& [key, weak] : connections_)
        if (auto alive = weak.lock()) alive->commit();
}

bool Session::is_in_use(const std::string& path) const {
    auto it = connections_.find(canonical_key(path));
    return it != connections_.end() && !it->second.expired();
}

}  // namespace lexorin::store
