#include "project/language_codes.h"

#include <array>
#include <utility>

#include "base/text_utils.h"

namespace lexorin::project {

namespace {

// The English names of common languages and their ISO 639-1 codes.
constexpr std::array<std::pair<const char*, const char*>, 32> kLanguages{{
    {"Arabic", "ar"},    {"Bulgarian", "bg"}, {"Chinese", "zh"},    {"Croatian", "hr"},
    {"Czech", "cs"},     {"Danish", "da"},    {"Dutch", "nl"},      {"English", "en"},
    {"Estonian", "et"},  {"Finnish", "fi"},   {"French", "fr"},     {"German", "de"},
    {"Greek", "el"},     {"Hebrew", "he"},    {"Hungarian", "hu"},  {"Italian", "it"},
    {"Japanese", "ja"},  {"Korean", "ko"},    {"Latvian", "lv"},    {"Lithuanian", "lt"},
    {"Norwegian", "nb"}, {"Polish", "pl"},    {"Portuguese", "pt"}, {"Romanian", "ro"},
    {"Russian", "ru"},   {"Serbian", "sr"},   {"Slovak", "sk"},     {"Slovenian", "sl"},
    {"Spanish", "es"},   {"Swedish", "sv"},   {"Turkish", "tr"},    {"Ukrainian", "uk"},
}};

}  // namespace

std::string LanguageCode(const std::string& language) {
    const std::string name = trim(language);
    for (const auto& [known, code] : kLanguages)
        if (equal_no_case(name, known)) return code;
    return {};
}

std::string LanguageForCode(const std::string& code) {
    std::string primary = trim(code);
    primary = primary.substr(0, primary.find_first_of("-_"));
    for (const auto& [name, known] : kLanguages)
        if (equal_no_case(primary, known)) return name;
    return {};
}

}  // namespace lexorin::project
