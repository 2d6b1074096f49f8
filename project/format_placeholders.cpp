#include "project/format_placeholders.h"

namespace lexorin::project {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

char argument_kind(char type) {
    switch (type | 0x20) {  // lower case
        case 'd':
        case 'u':
        case 'x':
            return 'i';
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm':
            return 'f';
        case 's':
            return 's';
        case 'p':
            return 'p';
        default:
            return 0;
    }
}

}  // namespace

FormatSignature ParseFormat(std::string_view text) {
    FormatSignature sig;
    int next_argument = 0;
    auto use = [&](int argument, char kind, const std::string& written) {
        auto [it, inserted] = sig.arguments.emplace(argument, kind);
        if (!inserted && it->second != kind && sig.valid) {
            sig.valid = false;  // one argument read as two kinds: one of them must fail
            sig.bad_placeholder = written;
        }
    };
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            ++i;
            continue;
        }
        sig.has_percent = true;
        size_t start = i++;
        if (i < text.size() && text[i] == '%') {
            ++i;
            continue;
        }
        auto fail = [&]() {
            if (sig.valid) {
                sig.valid = false;
                sig.bad_placeholder =
                    std::string(text.substr(start, i - start + (i < text.size())));
            }
        };
        // A leading number followed by ":" is the index; otherwise it is the width.
        std::vector<int> star_arguments;  // "*" width or precision: an integer argument each
        size_t digits = i;
        while (digits < text.size() && is_digit(text[digits])) ++digits;
        if (digits < text.size() && text[digits] == ':' && digits > i) {
            next_argument = std::stoi(std::string(text.substr(i, digits - i)));
            i = digits + 1;
        } else if (i + 1 < text.size() && text[i] == '*' && text[i + 1] == ':') {
            sig.dynamic_index = true;
            i += 2;
        }
        if (i < text.size() && text[i] == '-') ++i;
        if (i < text.size() && text[i] == '*') {
            star_arguments.push_back(next_argument++);
            ++i;
        } else {
            while (i < text.size() && is_digit(text[i])) ++i;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            if (i < text.size() && text[i] == '*') {
                star_arguments.push_back(next_argument++);
                ++i;
            } else {
                while (i < text.size() && is_digit(text[i])) ++i;
            }
        }
        char kind = i < text.size() ? argument_kind(text[i]) : 0;
        if (kind == 0) {
            fail();
            continue;
        }
        ++i;
        std::string written(text.substr(start, i - start));
        sig.placeholders.push_back(written);
        for (int a : star_arguments) use(a, 'i', written);
        use(next_argument++, kind, written);
    }
    return sig;
}

}  // namespace lexorin::project
