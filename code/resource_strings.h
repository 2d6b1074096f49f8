#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/reporter.h"

namespace lexorin::store {
class PascalRows;
}

// The resource-string files "strings.org" (original texts) and "strings.tra" (translations),
// which declare the s_N that the rewritten units refer to, and the glue files beside them.
namespace lexorin::code {

// The lines of both files: "resourcestring", then per pascal row in Index order
//   s_<Index> = '<text>';
// with two leading blanks. The text is the stored literal body (apostrophes doubled; a
// translation an older version kept as typed is made one) followed by SpacesAtEnd blanks; in
// the translation file it is the translation when there is one. A text longer than 255
// characters goes on as '...' + lines of at most 255 characters each.
//
// "strings.org" keeps the bytes of the project's code page, exactly what the compiler saw in
// the units before the scan. "strings.tra" is UTF-8 and begins with the UTF-8 byte order mark,
// which tells Free Pascal and Delphi how to read it, so that the translations reach the running
// program in the right characters on a UTF-8 system whether or not it converts code pages.
struct ResourceStringLines {
    std::vector<std::string> original;
    std::vector<std::string> translation;  // UTF-8, without the byte order mark
};

// Free Pascal cannot link a program with a unit of much more than 13,000 resource strings (each
// takes several sections of the object file) and fails to compile one of about 22,000; plain
// constants have no such limit. Beyond this many rows both files declare constants.
inline constexpr std::size_t kMostResourceStrings = 10000;
// "resourcestring", or "const" for more than kMostResourceStrings rows.
std::string ResourceStringSection(std::size_t rows);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Reads every row of `pascal` through a handle of its own, so that a filter set on its handle
// cannot leave rows out. A failing read raises its Error; so does a text the code page cannot
// convert to UTF-8, naming its row.
ResourceStringLines BuildResourceStringLines(const store::PascalRows& pascal,
                                             const CodePage& code_page,
                                             Reporter* reporter = nullptr);

// The project directory with a "/" for file names: appended unless empty or already there.
std::string ProjectDirectoryForFiles(const std::string& directory);

// Writes "strings.tra", then "strings.org" into the project directory, each replaced only once
// its new text is complete. Nothing is written when the rows cannot be read or converted.
void WriteResourceStringFiles(const store::PascalRows& pascal, const std::string& project_directory,
                              const CodePage& code_page, Reporter* reporter = nullptr);

// Copies "lx_lang.inc", then "lx_lang.pas" from the program directory into the project
// directory. The switches are the user's: every symbol the project's own "lx_lang.inc" defines
// ({$define TranslatedForm}, in any letter case) is defined in the new one too, by removing the
// dot of its {.$define ...} line, or on a line added at the end. A missing glue file raises an
// Error naming it, before anything is written.
void CopyGlueFiles(const std::string& program_directory, const std::string& project_directory);

// The symbols an include file defines with {$define NAME}, as written.
std::vector<std::string> ActiveDefines(std::string_view include_text);
// `include_text` with each of `names` defined.
std::string IncludeWithDefines(std::string include_text, const std::vector<std::string>& names);

// The information shown once the code is written; the directory as typed.
std::string CodeWrittenMessage(const std::string& project_directory);

// The glue file names.
inline constexpr const char* kGlueInclude = "lx_lang.inc";
inline constexpr const char* kGlueUnit = "lx_lang.pas";
inline constexpr const char* kStringsOriginal = "strings.org";
inline constexpr const char* kStringsTranslation = "strings.tra";

}  // namespace lexorin::code
