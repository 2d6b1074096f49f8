#include "project/status_line.h"

#include <ctime>

#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin {

namespace field = project::field;

std::string short_date_today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    size_t n = std::strftime(buffer, sizeof buffer, "%x", &local);
    return std::string(buffer, n);
}

void AddStatusLine(store::Table& projects, const std::string& message, const std::string& detail,
                   const std::string& date) {
    projects.edit();
    std::vector<std::string> lines = SplitLines(projects.text(field::Reserve));
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (starts_with(*it, message)) {
            lines.erase(it);
            break;
        }
    }
    lines.push_back(message + detail + " on " + date);
    projects.set_text(field::Reserve, join_crlf(lines));
    projects.post();
}

}  // namespace lexorin
