#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/translation_memory.h"

// The translation memory to and from TMX files (project/tmx_file.h). Each entry is one <tu>: the
// original under the source language, the translation under the language's code (German: de;
// a language without a known code keeps its name), with the project and the language's own
// name as props "x-lexorin-project" and "x-lexorin-language", so that a file read back gives
// the same entries.
namespace lexorin::project {

inline constexpr const char* kProjectProp = "x-lexorin-project";
inline constexpr const char* kLanguageProp = "x-lexorin-language";

struct TmxExportResult {
    int entries = 0;
    std::string message;  // "12 entries written to <file>."
};

// Writes the memory's entries (of `language` only when given) to `path`, the originals under
// `source_language`.
TmxExportResult ExportTmx(store::TranslationMemory& memory, const std::string& path,
                          const std::optional<std::string>& language,
                          const std::string& source_language = "en");

struct TmxImportResult {
    int entries = 0;
    std::vector<std::string> left_out;  // units not taken, each with the reason
    std::string message;                // "12 entries imported from <file>, 1 unit left out."
};

// Adds every translation of the file to the memory, in one transaction: the unit's text in the
// header's srclang is the original, each other text a translation into the language its
// xml:lang names ("de": German; the prop x-lexorin-language wins for a unit of one
// translation). A unit's project is its prop x-lexorin-project, else the file's name. A file that
// is not well-formed TMX raises Error and adds nothing.
TmxImportResult ImportTmx(store::TranslationMemory& memory, const std::string& path);

}  // namespace lexorin::project
