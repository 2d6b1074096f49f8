#include "project/spelling.h"

#include <hunspell/hunspell.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/text_utils.h"
#include "project/language_codes.h"

namespace lexorin::project {

namespace fs = std::filesystem;

struct SpellChecker::Handle {
    Handle(const std::string& aff, const std::string& dic, CodePage encoding)
        : hunspell(Hunspell_create(aff.c_str(), dic.c_str())), encoding(std::move(encoding)) {}
    ~Handle() {
        if (hunspell) Hunspell_destroy(hunspell);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    Hunhandle* hunspell;
    CodePage encoding;  // the dictionary's own (its SET line)
};

namespace {

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

// The dictionary's path without extension, or nothing. "de_AT" names its dictionary; a language
// name takes its code's main region first (de_DE, fr_FR), then any region, then the bare code.
std::optional<fs::path> FindDictionary(const std::string& language,
                                       const std::vector<std::string>& folders) {
    const std::string name = trim(language);
    const bool dictionary_name = name.find('_') != std::string::npos;
    std::string code = dictionary_name ? name.substr(0, name.find('_')) : LanguageCode(name);
    if (code.empty() && name.size() == 2) code = name;
    if (code.empty()) return std::nullopt;
    std::vector<std::string> names;
    if (dictionary_name) {
        names.push_back(name);
    } else {
        std::string region = code;
        std::transform(region.begin(), region.end(), region.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        names.push_back(code + "_" + region);
    }
    for (const auto& folder : folders)
        for (const auto& candidate : names)
            if (Exists(fs::path(folder) / (candidate + ".aff")) &&
                Exists(fs::path(folder) / (candidate + ".dic")))
                return fs::path(folder) / candidate;
    if (dictionary_name) return std::nullopt;
    for (const auto& folder : folders) {
        std::error_code error;
        std::vector<fs::path> regions;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const fs::path path = entry.path();
            const std::string stem = path.stem().string();
            if (path.extension() == ".aff" && (stem == code || stem.rfind(code + "_", 0) == 0) &&
                Exists(fs::path(path).replace_extension(".dic")))
                regions.push_back(fs::path(path).replace_extension());
        }
        if (!regions.empty()) return *std::min_element(regions.begin(), regions.end());
    }
    return std::nullopt;
}

bool IsAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}
bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
// Letters beyond ASCII: Latin-1's and every script above it, less the two signs among them.
bool IsLetter(char32_t c) {
    return IsAsciiLetter(c) || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

struct Word {
    std::string text;  // without accelerator marks
    std::size_t offset = 0;
    bool with_digits = false;
};

// The words of a translation, without what is no word for a dictionary (see Check).
std::vector<Word> SplitWords(std::string_view utf8) {
    std::vector<Word> words;
    std::size_t pos = 0;
    auto peek = [&](std::size_t at) -> std::optional<char32_t> {
        if (at >= utf8.size()) return std::nullopt;
        return decode_utf8(utf8, at);
    };
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t c = decode_utf8(utf8, pos);
        if (c == U'%') {
            // A placeholder: %d, %s, %1:s, %-10.2f, %%.
            while (pos < utf8.size() &&
                   (IsDigit(static_cast<unsigned char>(utf8[pos])) ||
                    std::string_view(":.*-").find(utf8[pos]) != std::string_view::npos))
                ++pos;
            if (pos < utf8.size() &&
                (IsAsciiLetter(static_cast<unsigned char>(utf8[pos])) || utf8[pos] == '%'))
                ++pos;
            continue;
        }
        if (c == U'#' && pos < utf8.size() && IsDigit(static_cast<unsigned char>(utf8[pos]))) {
            while (pos < utf8.size() && IsDigit(static_cast<unsigned char>(utf8[pos]))) ++pos;
            continue;
        }
        if (!IsLetter(c) && !IsDigit(c) && c != U'&') continue;
        Word word;
        word.offset = start;
        std::size_t end = start;
        for (std::size_t at = start; at < utf8.size();) {
            const std::size_t here = at;
            const char32_t d = decode_utf8(utf8, at);
            const bool inner_apostrophe = (d == U'\'' || d == 0x2019) && !word.text.empty() &&
                                          peek(at) && IsLetter(*peek(at));
            if (!IsLetter(d) && !IsDigit(d) && d != U'&' && !inner_apostrophe) break;
            if (IsDigit(d)) word.with_digits = true;
            if (d != U'&') word.text += utf8.substr(here, at - here);
            end = at;
        }
        pos = end;
        if (!word.text.empty()) words.push_back(std::move(word));
    }
    return words;
}

}  // namespace

std::vector<std::string> SpellChecker::DefaultDictionaryFolders() {
    return {"/usr/share/hunspell", "/usr/share/myspell/dicts", "/usr/share/myspell"};
}

SpellChecker::SpellChecker(const std::string& language, const std::vector<std::string>& folders) {
    const std::optional<fs::path> found = FindDictionary(language, folders);
    if (!found) return;
    const std::string base = found->string();
    auto handle = std::make_unique<Handle>(base + ".aff", base + ".dic", CodePage("UTF-8"));
    if (!handle->hunspell) return;
    try {
        const char* encoding = Hunspell_get_dic_encoding(handle->hunspell);
        handle->encoding = CodePage(encoding && *encoding ? encoding : "ISO-8859-1");
    } catch (const Error&) {
        return;  // a dictionary in an encoding iconv does not know is no help
    }
    handle_ = std::move(handle);
    dictionary_ = base;
}

SpellChecker::~SpellChecker() = default;

std::vector<Misspelling> SpellChecker::Check(std::string_view utf8,
                                             std::size_t most_suggestions) const {
    std::vector<Misspelling> found;
    if (!handle_) return found;
    std::vector<Word> words;
    try {
        words = SplitWords(utf8);
    } catch (const Error&) {
        return found;  // not UTF-8: nothing to say about its spelling
    }
    for (const Word& word : words) {
        if (word.with_digits) continue;
        std::string in_dictionary;
        try {
            in_dictionary = handle_->encoding.from_utf8(word.text);
        } catch (const Error&) {
            continue;  // a word of another script than the dictionary's
        }
        if (Hunspell_spell(handle_->hunspell, in_dictionary.c_str())) continue;
        Misspelling wrong{word.text, word.offset, {}};
        if (most_suggestions > 0) {
            char** list = nullptr;
            const int count = Hunspell_suggest(handle_->hunspell, &list, in_dictionary.c_str());
            for (int i = 0; i < count && wrong.suggestions.size() < most_suggestions; ++i) {
                try {
                    wrong.suggestions.push_back(handle_->encoding.to_utf8(list[i]));
                } catch (const Error&) {
                }
            }
            if (list) Hunspell_free_list(handle_->hunspell, &list, count);
        }
        found.push_back(std::move(wrong));
    }
    return found;
}

}  // namespace lexorin::project
