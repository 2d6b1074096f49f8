#include "base/text_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "base/errors.h"

namespace lexorin {

std::string upper_case(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upper_char(c);
    return out;
}

bool equal_no_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper_char(a[i]) != upper_char(b[i])) return false;
    return true;
}

std::string trim(std::string_view text) {
    return std::string(trim_view(text));
}

std::string trim_right_blanks(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return std::string(text.substr(0, end));
}

bool ends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool starts_with_no_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equal_no_case(text.substr(0, prefix.size()), prefix);
}

namespace {

// Hands each line of `text` to `add`, split as read_text_lines says. The line ends are found
// with memchr, which goes through a whole unit far faster than a test of every character.
template <typename Add>
void split_text_lines(std::string_view text, Add add) {
    const char* const data = text.data();
    const size_t size = text.size();
    size_t start = 0;
    size_t lf_at = 0;  // the next LF at or after start, or size; kept while lines end in CR alone
    bool lf_known = false;
    while (start < size) {
        if (!lf_known || lf_at < start) {
            const void* lf = std::memchr(data + start, '\n', size - start);
            lf_at = lf ? static_cast<size_t>(static_cast<const char*>(lf) - data) : size;
            lf_known = true;
        }
        // A CR ends the line before the LF does: a CR LF pair, or a CR alone.
        const void* cr = std::memchr(data + start, '\r', lf_at - start);
        if (cr) {
            const size_t cr_at = static_cast<size_t>(static_cast<const char*>(cr) - data);
            add(text.substr(start, cr_at - start));
            start = cr_at + (cr_at + 1 < size && data[cr_at + 1] == '\n' ? 2 : 1);
        } else {
            add(text.substr(start, lf_at - start));
            start = lf_at + 1;
        }
    }
}

// The joined text is sized once: a unit of thousands of lines would otherwise grow it often.
template <typename Line>
std::string join_lines_crlf(const std::vector<Line>& lines) {
    size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

}  // namespace

std::vector<std::string> read_text_lines(std::string_view text) {
    std::vector<std::string> lines;
    split_text_lines(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string_view> read_text_line_views(std::string_view text) {
    std::vector<std::string_view> lines;
    split_text_lines(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

std::string join_text_lines(const std::vector<std::string>& lines) {
    return join_lines_crlf(lines);
}

std::string join_text_line_views(const std::vector<std::string_view>& lines) {
    return join_lines_crlf(lines);
}

std::string join_crlf(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += "\r\n";
        out += items[i];
    }
    return out;
}

std::string read_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error("Cannot open file " + path + ": " + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // Read in one go into a string of the file's size; a file that grew meanwhile, or whose
    // size says nothing (those of /proc), is read on to its end all the same.
    struct stat st {};
    std::string text;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        text.resize(static_cast<size_t>(st.st_size));
    size_t filled = 0;
    char more[4096];
    for (;;) {
        const bool in_text = filled < text.size();
        const ssize_t got = in_text ? ::read(fd, text.data() + filled, text.size() - filled)
                                    : ::read(fd, more, sizeof more);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EISDIR) return {};  // a folder reads as nothing, as from a stream
            throw Error("Cannot read file " + path);
        }
        if (!in_text) {
            text.resize(filled);
            text.append(more, static_cast<size_t>(got));
        }
        filled += static_cast<size_t>(got);
    }
    text.resize(filled);
    return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        start = i + 2;  // the character after the CR is dropped
        ++i;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string local_time_text(const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

}  // namespace lexorin
