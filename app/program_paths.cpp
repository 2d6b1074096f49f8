#include "app/program_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/errors.h"
#include "base/file_utils.h"

namespace lexorin {

static std::string with_slash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

std::string executable_directory() {
    std::vector<char> buffer(4096);
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) throw Error("Cannot find the program's own path");
    return directory_of(std::string(buffer.data(), static_cast<size_t>(n)));
}

std::string program_directory(const std::string& home_override) {
    if (!home_override.empty()) return with_slash(home_override);
    if (const char* home = std::getenv("LEXORIN_HOME"); home && *home) return with_slash(home);
    return executable_directory();
}

std::string program_directory() {
    return program_directory(std::string());
}

}  // namespace lexorin
