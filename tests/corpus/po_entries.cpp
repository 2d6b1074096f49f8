#include "corpus/po_entries.h"

#include <sstream>
#include <stdexcept>

namespace lexorin::corpus {

namespace {

// The text of one quoted PO string ("..."), its C escapes undone.
std::string Unquoted(const std::string& quoted) {
    const size_t open = quoted.find('"');
    const size_t close = quoted.rfind('"');
    if (open == std::string::npos || close == open)
        throw std::runtime_error("a PO string is not closed: " + quoted);
    std::string text;
    for (size_t i = open + 1; i < close; ++i) {
        if (quoted[i] != '\\' || i + 1 == close) {
            text += quoted[i];
            continue;
        }
        switch (const char escaped = quoted[++i]) {
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case 'a':
                text += '\a';
                break;
            case 'b':
                text += '\b';
                break;
            case 'f':
                text += '\f';
                break;
            case 'v':
                text += '\v';
                break;
            default:
                text += escaped;
        }
    }
    return text;
}

bool StartsWith(const std::string& line, const char* head) {
    return line.rfind(head, 0) == 0;
}

}  // namespace

std::vector<PoEntry> ReadPoEntries(const std::string& po) {
    std::vector<PoEntry> entries;
    PoEntry entry;
    bool has_msgid = false;
    bool obsolete = false;
    std::string* open = nullptr;  // the string that continued lines add to
    auto finish = [&] {
        if (has_msgid && !obsolete && !(entry.msgid.empty() && entry.context.empty()))
            entries.push_back(entry);
        entry = PoEntry();
        has_msgid = obsolete = false;
        open = nullptr;
    };
    std::istringstream in(po);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            finish();
        } else if (StartsWith(line, "#~")) {
            obsolete = true;
        } else if (StartsWith(line, "#,")) {
            if (has_msgid) finish();
            entry.fuzzy = entry.fuzzy || line.find("fuzzy") != std::string::npos;
        } else if (StartsWith(line, "# ") || line == "#") {
            if (has_msgid) finish();
            entry.comments += (line.size() > 2 ? line.substr(2) : std::string()) + "\n";
        } else if (line.front() == '#') {
            if (has_msgid) finish();
        } else if (StartsWith(line, "msgctxt ")) {
            if (has_msgid) finish();
            entry.context = Unquoted(line);
            open = &entry.context;
        } else if (StartsWith(line, "msgid ")) {
            entry.msgid = Unquoted(line);
            has_msgid = true;
            open = &entry.msgid;
        } else if (StartsWith(line, "msgstr ")) {
            entry.msgstr = Unquoted(line);
            open = &entry.msgstr;
        } else if (line.front() == '"' && open) {
            *open += Unquoted(line);
        }
    }
    finish();
    return entries;
}

bool HasCommentLine(const PoEntry& entry, const std::string& mark) {
    std::istringstream in(entry.comments);
    for (std::string line; std::getline(in, line);)
        if (line == mark || line == " " + mark) return true;
    return false;
}

}  // namespace lexorin::corpus
