#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"
#include "store/string_tables.h"

// The translated form writer: a form text's strings replaced by their translations, without any
// file or table (TranslateFormLines), and with the rows of a language's forms table
// (TranslatedFormWriter).
namespace lexorin::forms {

class FormTranslationIndex;

// What a row of the forms table says about one string.
struct FormTranslation {
    std::string original;     // OriginalString, as stored (no trailing blanks)
    std::string translation;  // TranslateString; empty = not translated
    int spaces_at_end = 0;    // the blanks the store dropped from both
};

// The row for an object path and property key, if there is one.
using TranslationLookup =
    std::function<std::optional<FormTranslation>(const std::string&, const std::string&)>;

struct TranslatedFormText {
    std::vector<std::string> lines;
    int replaced = 0;  // strings replaced by a translation
    // The lines that hold a translation (zero-based, ascending). Their strings are written as
    // characters, which TranslatedTextToBinary needs to know.
    std::vector<std::size_t> translated_lines;
};

// Walks the lines with the scanner's rules and replaces every string whose row has a
// translation. `status` as for FindFormStrings. A translation, 8-bit text in `code_page`
// (Windows-1252 when none is given), is written as its characters (TranslationBetweenQuotes),
// so that the way back can put it into each value's own kind; a long one takes further lines.
// Raises an Error when an "end" closes nothing, or naming the row whose translation has a byte
// the code page leaves undefined.
TranslatedFormText TranslateFormLines(const std::vector<std::string>& lines,
                                      const TranslationLookup& lookup, const std::string& form_path,
                                      Reporter* status, const CodePage* code_page = nullptr);

// Applies one language's forms table to form texts. The tables and the reporter belong to the
// caller.
class TranslatedFormWriter {
  public:
    // `code_page`: the program's 8-bit code page, in which the translations are written.
    TranslatedFormWriter(store::FormRows& strings, store::FormFiles& files,
                         const CodePage& code_page, Reporter& reporter);

    // The forms table applied to a form text (the text form of form_path): the rows of
    // form_path's own scan when the form files list it, else the first row with the same object
    // path and property key. The reporter's status gets "<n> Strings found".
    TranslatedFormText TranslateText(std::string_view text, const std::string& form_path);

    // Rewrites the text form in text_path with the translations of the forms table, as
    // TranslateText. The file is replaced only when a string changed, the safe way. Returns the
    // number of strings replaced.
    int TranslateFile(const std::string& text_path, const std::string& form_path);

    // Reads every row of the forms table now, at once: the forms translated afterwards take
    // their rows from what was read, with no search of the table per string. For a command that
    // translates many forms while nothing changes the table (it holds the project's lock).
    void ReadRowsAtOnce();

  private:
    TranslatedFormText TranslateWith(const TranslationLookup& lookup, std::string_view text,
                                     const std::string& form_path);

    store::FormRows& strings_;
    store::FormFiles& files_;
    CodePage code_page_;
    Reporter& reporter_;
    std::shared_ptr<const FormTranslationIndex> rows_read_;  // after ReadRowsAtOnce
};

// The line with the original, as the text form writes it ('#39' for an apostrophe, the blanks
// at the end restored), replaced by the translation (TranslationBetweenQuotes, blanks restored)
// everywhere in the part that begins with the first quote, without regard to case. Indentation
// and property name stay. Gives the line unchanged when the row holds no translation or a blank
// original.
std::string ReplaceFormString(const std::string& line, const FormTranslation& row,
                              const CodePage& code_page);

}  // namespace lexorin::forms
