#pragma once

#include <string>
#include <string_view>

#include "base/errors.h"

namespace lexorin::forms {

// The failure kinds of form streams. Their texts are the run-time's own German ones, 8-bit
// Windows-1252 like all the program's text (0xFC is u-umlaut, 0xE4 a-umlaut).
class EFilerError : public Error {
  public:
    using Error::Error;
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
// A form text that cannot be read; the text names the line.
class EParserError : public Error {
  public:
    using Error::Error;
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
inline constexpr char kLineTooLong[] = "Zeile zu lang";
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

}  // namespace lexorin::forms
