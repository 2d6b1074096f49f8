#pragma once

#include <optional>
#include <string>
#include <vector>

#include "project/project_kind.h"
#include "store/table_schema.h"
#include "store/table_store.h"

namespace lexorin::project {

// The table of projects, opened by its bare name in the working directory.
inline constexpr const char* kProjectsFile = "Projects.DB";

// Field names, as the program writes them (looked up without regard to case).
namespace field {
inline constexpr const char* Name = "Name";
inline constexpr const char* Directory = "Directory";
inline constexpr const char* Recoursive = "Recoursive";
inline constexpr const char* Excluded = "excluded";
inline constexpr const char* Languages = "languages";
inline constexpr const char* Reserve = "Reserve";
inline constexpr const char* SourceExtensions = "Source extensions";
inline constexpr const char* FormsExtension = "Forms extension";
inline constexpr const char* Cignoreinterface = "Cignoreinterface";
inline constexpr const char* Ceditchars = "Ceditchars";
inline constexpr const char* Cminlength = "Cminlength";
inline constexpr const char* Ccontextlines = "Ccontextlines";
inline constexpr const char* Cstartignore = "Cstartignore";
inline constexpr const char* Cunwantedstrings = "Cunwantedstrings";
inline constexpr const char* Cunwantedwordparts = "Cunwantedwordparts";
inline constexpr const char* Funwantedstrings = "Funwantedstrings";
// Properties whose strings are no text for people (versions, field names, masks, component
// names): one name per line; their rows are stored ignored (forms::IsNonTextProperty).
inline constexpr const char* Fnontextproperties = "Fnontextproperties";
// The command that builds the project (run in its directory), and whether a code scan is
// followed by a build that gives back the literals the compiler refuses.
inline constexpr const char* Cbuildcommand = "Cbuildcommand";
inline constexpr const char* Cverify = "Cverify";
// The seconds a build may take before it is stopped with every process it started.
inline constexpr const char* Cbuildtimeout = "Cbuildtimeout";
// Whether units and folders reached through symbolic links that lead out of the project
// directory are taken (their targets are then rewritten where they lie).
inline constexpr const char* Cfollowlinks = "Cfollowlinks";
// The kind of the sources, "Delphi" or "Lazarus" (project_kind.h), and the code page their text
// and the project's tables are in ("" for the program's).
inline constexpr const char* Ckind = "Ckind";
inline constexpr const char* Ccodepage = "Ccodepage";
}  // namespace field

// The properties a new project, and a project of a table written before the list existed,
// starts with: names met in the Lazarus and Delphi forms whose values are identifiers,
// versions, field and table names, paths, masks and number lists. A name with dots stands for
// the end of a property path ("OKButton.Name" but not every "Name", which also names fonts).
const std::vector<std::string>& DefaultNonTextProperties();

// The fields of a project row. Its column defaults make a first scan useful: units "*.pas",
// forms "*.dfm", the interface part ignored, strings of two characters or more, five context
// lines, only strings holding a letter, and the default non-text properties; builds stopped
// after ten minutes; no unit taken through a link that leads out of the project directory; a
// Delphi project in the program's code page.
const store::TableSchema& projects_schema();

// Creates an empty Projects table in `directory` ("" = the working directory) when missing.
void ensure_projects_table(const std::string& directory = {});

// The Projects table in the engine's default session. A table written by an
// earlier version gets the fields it lacks when it is opened.
class ProjectsTable {
  public:
    explicit ProjectsTable(store::Session& session, const std::string& directory = {});
    store::Table Projects;
};

// The list encoding of `excluded` and `languages`: entries joined by CR LF, none after the last.
std::vector<std::string> decode_list(const std::string& text);
std::string encode_list(const std::vector<std::string>& items);

// Moves to the row whose Name equals `name` exactly; false when there is none.
bool locate_project(store::Table& projects, const std::string& name);
// Raises Error "There is no project named <name>." when locate_project fails.
void require_project(store::Table& projects, const std::string& name);
std::vector<std::string> project_names(store::Table& projects);

// A project or language name becomes part of table and archive file names in the program
// directory: refuse what would lead outside it or cannot stand in a file name. `what` names the
// thing in the message ("project name", "language").
void check_file_name_part(const std::string& name, const std::string& what);

struct NewProject {
    std::string name;
    std::string directory;
    bool recursive = true;
    std::vector<std::string> excluded;
    std::optional<ProjectKind> kind = std::nullopt;  // none: the kind found in the directory
};
// Inserts and posts a new row; the directory must exist and the name must be new and valid. The
// row takes the defaults of its kind (SetProjectKind), the build command made for `lazarus`.
void add_project(store::Table& projects, const NewProject& project,
                 const LazarusInstallation& lazarus = FindLazarus());

// An excluded directory always ends with "/". The entry is refused (returns false, list unchanged)
// when it is empty, equals the project directory as written, or is already in the list (whole
// entries compare, so a parent of a stored entry can still be added).
bool add_excluded_entry(std::vector<std::string>& excluded, const std::string& entry,
                        const std::string& project_directory);
// Adds an excluded directory to the current project row and posts it.
bool add_excluded_directory(store::Table& projects, const std::string& entry);

}  // namespace lexorin::project
