#include "corpus/mechanical_translation.h"

#include <sstream>
#include <vector>

namespace lexorin::corpus {

namespace {

bool StartsWith(const std::string& line, const char* head) {
    return line.rfind(head, 0) == 0;
}

bool IsContinuation(const std::string& line) {
    return !line.empty() && line.front() == '"';
}

}  // namespace

MechanicalTranslation TranslateMechanically(const std::string& po, const std::string& prefix,
                                            int every) {
    std::vector<std::string> lines;
    std::istringstream in(po);
    for (std::string line; std::getline(in, line);) lines.push_back(line);

    MechanicalTranslation result;
    std::ostringstream out;
    std::vector<std::string> msgid;  // the msgid line and its continued lines
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (StartsWith(line, "msgid \"")) {
            msgid = {line};
            while (i + 1 < lines.size() && IsContinuation(lines[i + 1]))
                msgid.push_back(lines[++i]);
            for (const auto& part : msgid) out << part << "\n";
            continue;
        }
        const bool header = msgid.size() == 1 && msgid.front() == "msgid \"\"";
        if (!StartsWith(line, "msgstr \"") || msgid.empty() || header) {
            out << line << "\n";
            continue;
        }
        const bool chosen = result.entries++ % every == 0;
        if (!chosen) {
            out << line << "\n";
            msgid.clear();
            continue;
        }
        while (i + 1 < lines.size() && IsContinuation(lines[i + 1])) ++i;  // the old msgstr
        out << "msgstr \"" << prefix << msgid.front().substr(7) << "\n";
        for (size_t part = 1; part < msgid.size(); ++part) out << msgid[part] << "\n";
        ++result.translated;
        msgid.clear();
    }
    result.po = out.str();
    return result;
}

}  // namespace lexorin::corpus
