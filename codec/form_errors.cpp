#include "codec/form_errors.h"

#include <array>
#include <optional>
#include <utility>

#include "codec/form_stream_format.h"

namespace lexorin::codec {

namespace {

// The German texts and what each means, for a user who has to find the fault in the file. A
// "%s" in both stands for the same argument. The more special patterns come first: "%s
// erwartet" matches every text that ends in " erwartet".
struct Meaning {
    std::string_view pattern;
    std::string english;
};

const std::array<Meaning, 13>& Meanings() {
    static const std::array<Meaning, 13> meanings = {{
        {messages::kInvalidStreamFormat,
         "no form: the resource header or the signature TPF0 is not there"},
        {messages::kStreamReadError, "the form ends early: the file is cut short or damaged"},
        {messages::kInvalidPropertyValue, "a property value of a kind that cannot stand there"},
        {messages::kIdentifierExpected, "a name was expected here"},
        {messages::kStringExpected, "a quoted string was expected after the \"+\""},
        {messages::kNumberExpected, "a number was expected here"},
        {messages::kInvalidString,
         "a quoted string that does not end on its line, or a \"#\" without a character code"},
        {messages::kInvalidBinary,
         "binary data between \"{\" and \"}\" that is not pairs of hexadecimal digits"},
        {messages::kNestingTooDeep,
         "objects or values nested more than " + std::to_string(kMaxNesting) + " levels deep"},
        {messages::kInvalidInteger, "'%s' is not a whole number a form can hold"},
        {messages::kInvalidFloat, "'%s' is not a number a form can hold"},
        {messages::kCharExpected, "\"%s\" was expected here"},
        {messages::kSymbolExpected, "the word %s was expected here"},
    }};
    return meanings;
}

// The argument that makes `pattern` (with at most one "%s") read `text`, if any does.
std::optional<std::string_view> Match(std::string_view pattern, std::string_view text) {
    const size_t hole = pattern.find("%s");
    if (hole == std::string_view::npos)
        return text == pattern ? std::optional<std::string_view>("") : std::nullopt;
    const std::string_view prefix = pattern.substr(0, hole), suffix = pattern.substr(hole + 2);
    if (text.size() <= prefix.size() + suffix.size() || text.substr(0, prefix.size()) != prefix ||
        text.substr(text.size() - suffix.size()) != suffix)
        return std::nullopt;
    return text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
}

std::string MeaningOf(std::string_view kind) {
    for (const Meaning& meaning : Meanings())
        if (const auto argument = Match(meaning.pattern, kind))
            return FormatMessage(meaning.english, *argument);
    return {};
}

std::string WithMeaning(const std::string& message, const std::string& meaning) {
    return meaning.empty() ? message : message + " (" + meaning + ")";
}

std::string Placed(const std::string& where, const std::string& text) {
    return where.empty() ? text : where + ": " + text;
}

}  // namespace

EFormError::EFormError(const std::string& message, std::string_view kind, std::string where)
    : Error(message), message_(message), meaning_(MeaningOf(kind)), where_(std::move(where)) {}

EFormError::EFormError(const EFormError& failure, const std::string& file, const std::string& where)
    : Error(file + ", " +
            Placed(where.empty() ? failure.where_ : where,
                   WithMeaning(failure.message_, failure.meaning_))),
      message_(failure.message_),
      meaning_(failure.meaning_),
      file_(file),
      where_(where.empty() ? failure.where_ : where) {}

std::string EFormError::InFile() const {
    return Placed(where_, WithMeaning(message_, meaning_));
}

EParserError::EParserError(std::string_view message, int line)
    : EFormError(
          FormatMessage(FormatMessage(messages::kParseErrorFormat, message), std::to_string(line)),
          message, "line " + std::to_string(line)),
      line_(line) {}

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
    std::string text(pattern);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd')) {
            text.replace(i, 2, argument);
            break;
        }
    }
    return text;
}

std::string AtByteOffset(std::uint64_t offset) {
    return "byte offset " + std::to_string(offset);
}

void RethrowInFile(const std::string& file, const std::string& where) {
    try {
        throw;
    } catch (const EFormError& failure) {
        if (!failure.file().empty()) throw;  // placed already, nearer to the fault
        if (const auto* parse = dynamic_cast<const EParserError*>(&failure))
            throw EParserError(*parse, file, where);
        if (const auto* image = dynamic_cast<const EInvalidImage*>(&failure))
            throw EInvalidImage(*image, file, where);
        if (const auto* read = dynamic_cast<const EReadError*>(&failure))
            throw EReadError(*read, file, where);
        if (const auto* filer = dynamic_cast<const EFilerError*>(&failure))
            throw EFilerError(*filer, file, where);
        throw EFormError(failure, file, where);
    }
}

std::string FormFailureReason(const std::exception& failure) {
    const auto* form = dynamic_cast<const EFormError*>(&failure);
    return form ? form->InFile() : failure.what();
}

}  // namespace lexorin::codec
