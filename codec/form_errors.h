#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "base/errors.h"

namespace lexorin::codec {

// The failure kinds of form streams. Their texts are the run-time's own German ones, 8-bit
// Windows-1252 like all the program's text (0xFC is u-umlaut, 0xE4 a-umlaut). Once a failure
// passes a place that knows the file it was read from, it is raised again placed there: its
// text then names the file, the position (a line of a text form, a byte offset of a binary
// one) and, in English, what the German text means:
// "mainform.dfm, line 12: Bezeichner erwartet in Zeile 12 (a name was expected here)".
class EFormError : public Error {
  public:
    explicit EFormError(const std::string& message) : EFormError(message, message, {}) {}
    // The failure placed in `file` at `where` ("byte offset 40"); an empty `where` keeps the
    // position the failure knows itself (a text form's line), if any.
    EFormError(const EFormError& failure, const std::string& file, const std::string& where);

    // The German text as the run-time words it ("Bezeichner erwartet in Zeile 12").
    const std::string& message() const { return message_; }
    // What it means, in English ("a name was expected here"); empty for a text of no known kind.
    const std::string& meaning() const { return meaning_; }
    // Empty until placed.
    const std::string& file() const { return file_; }
    // "line 12", "byte offset 40", or empty when not known.
    const std::string& where() const { return where_; }
    // The text for a report that names the file already: "line 12: Bezeichner erwartet in
    // Zeile 12 (a name was expected here)".
    std::string InFile() const;

  protected:
    // `kind` is the message without its line, for finding its meaning.
    EFormError(const std::string& message, std::string_view kind, std::string where);

  private:
    std::string message_;
    std::string meaning_;
    std::string file_;
    std::string where_;
};

class EFilerError : public EFormError {
  public:
    using EFormError::EFormError;
};
// A stream that is not a form stream or ends early.
class EReadError : public EFilerError {
  public:
    using EFilerError::EFilerError;
};
// A resource header that is not one of a form.
class EInvalidImage : public EFilerError {
  public:
    using EFilerError::EFilerError;
};
// A form text that cannot be read; the text names the line ("<message> in Zeile <line>").
class EParserError : public EFormError {
  public:
    EParserError(std::string_view message, int line);
    EParserError(const EParserError& failure, const std::string& file, const std::string& where)
        : EFormError(failure, file, where), line_(failure.line_) {}
    int line() const { return line_; }

  private:
    int line_;
};

namespace messages {
inline constexpr char kInvalidStreamFormat[] =
    "Ung\xFC"
    "ltiges Stream-Format";
inline constexpr char kStreamReadError[] = "Stream-Read-Fehler";
inline constexpr char kInvalidPropertyValue[] =
    "Ung\xFC"
    "ltiger Wert der Eigenschaft";
inline constexpr char kIdentifierExpected[] = "Bezeichner erwartet";
inline constexpr char kStringExpected[] = "String erwartet";
inline constexpr char kNumberExpected[] = "Zahl erwartet";
inline constexpr char kCharExpected[] = "''%s'' erwartet";
inline constexpr char kSymbolExpected[] = "%s erwartet";
inline constexpr char kInvalidString[] =
    "Ung\xFC"
    "ltige Stringkonstante";
inline constexpr char kInvalidBinary[] =
    "Ung\xFC"
    "ltiger Bin\xE4"
    "rwert";
inline constexpr char kParseErrorFormat[] = "%s in Zeile %d";
// The number conversion texts of the run-time, for number tokens out of range.
inline constexpr char kInvalidInteger[] =
    "'%s' ist kein g\xFC"
    "ltiger Integerwert";
inline constexpr char kInvalidFloat[] =
    "'%s' ist kein g\xFC"
    "ltiger Gleitkommawert";
// Our own: nesting beyond any real form, refused before it exhausts the stack.
inline constexpr char kNestingTooDeep[] = "Verschachtelung zu tief";
}  // namespace messages

// The pattern with its first "%s" (or "%d") replaced by the argument.
std::string FormatMessage(std::string_view pattern, std::string_view argument);

// "byte offset 40": where reading a binary form stopped, counted from its first byte.
std::string AtByteOffset(std::uint64_t offset);

// Inside a catch block: raises the form failure being handled again, placed in `file` at
// `where` (a text form's failure at its own line when `where` is empty), keeping its kind; a
// failure placed already, and any other failure, go on unchanged.
[[noreturn]] void RethrowInFile(const std::string& file, const std::string& where = {});

// A failure's text for a report that names the file already: a form failure with its position
// and meaning (EFormError::InFile), any other failure's own text.
std::string FormFailureReason(const std::exception& failure);

}  // namespace lexorin::codec
