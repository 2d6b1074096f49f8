#include "project/status_line.h"

#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin {

namespace field = project::field;

std::string short_date_today() {
    return local_time_text("%x");
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
