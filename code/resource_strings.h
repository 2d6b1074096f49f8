#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"

namespace lexorin::store {
class Session;
class Table;
}  // namespace lexorin::store

// The resource-string files "strings.org" (original texts) and "strings.tra" (translations),
// which declare the s_N that the rewritten units refer to, and the glue files beside them.
namespace lexorin::code {

// The lines of both files: "resourcestring", then per pascal row in Index order
//   s_<Index> = '<text>';
// with two leading blanks. The text is written as stored (apostrophes as typed) followed by
// SpacesAtEnd blanks; in the translation file it is the translation when there is one. A text
// longer than 255 characters goes on as '...' + lines of at most 255 characters each.
struct ResourceStringLines {
    std::vector<std::string> original;
    std::vector<std::string> translation;
};

// Reads every row of the pascal table through a handle of its own, so that a filter or a
// master link set on `pascal` by a view cannot leave rows out. A failing read raises its Error.
ResourceStringLines BuildResourceStringLines(store::Session& session, const store::Table& pascal,
                                             Reporter* reporter = nullptr);

// The project directory with a "/" for file names: appended unless empty or already there.
std::string ProjectDirectoryForFiles(const std::string& directory);

// Writes "strings.tra", then "strings.org" into the project directory, each replaced only once
// its new text is complete. Nothing is written when the rows cannot be read.
void WriteResourceStringFiles(store::Session& session, const store::Table& pascal,
                              const std::string& project_directory, Reporter* reporter = nullptr);

// Copies "lx_lang.inc", then "lx_lang.pas" byte for byte from the program directory into the
// project directory, replacing existing files. A missing glue file raises an Error naming it.
void CopyGlueFiles(const std::string& program_directory, const std::string& project_directory);

// The information shown once the code is written; the directory as typed.
std::string CodeWrittenMessage(const std::string& project_directory);

// The glue file names.
inline constexpr const char* kGlueInclude = "lx_lang.inc";
inline constexpr const char* kGlueUnit = "lx_lang.pas";
inline constexpr const char* kStringsOriginal = "strings.org";
inline constexpr const char* kStringsTranslation = "strings.tra";

}  // namespace lexorin::code
