#pragma once

#include <string>
#include <vector>

#include "project/lazarus_build.h"

namespace lexorin::store {
class Table;
}

// The development system a project's sources come from. It decides which files are units and
// forms, the code page of their text and how the project is built.
namespace lexorin::project {

enum class ProjectKind {
    Delphi,   // units ".pas", forms ".dfm", text in the program's 8-bit code page
    Lazarus,  // units ".pas", ".pp" and the program ".lpr", forms ".lfm", text in UTF-8
};

// "Delphi" or "Lazarus", as the field Ckind holds it.
const char* ProjectKindName(ProjectKind kind);
// The kind a name stands for, without regard to case. Raises Error "There is no project kind
// <name>; the kinds are Delphi and Lazarus.".
ProjectKind ParseProjectKind(const std::string& name);
// The kind of the project on the current row; an empty field, or a table without it, is Delphi.
ProjectKind ProjectKindOf(const store::Table& projects);

// The kind of the sources under `directory`, walked as the project walks them: Lazarus when they
// hold Lazarus forms (".lfm") and no Delphi form (".dfm"), or, without any form, a Lazarus
// program or project (".lpr", ".lpi") and no Delphi program (".dpr"); Delphi otherwise, an
// empty folder included. Links out of the folder are not followed.
ProjectKind DetectProjectKind(const std::string& directory, bool recursive,
                              const std::vector<std::string>& excluded);

// The settings a project of a kind starts with.
struct KindDefaults {
    std::string unit_masks;     // Source extensions
    std::string form_masks;     // Forms extension
    std::string code_page;      // Ccodepage; "" is the program's code page
    std::string build_command;  // Cbuildcommand; "" builds nothing
};

// The defaults of `kind` for the project on the current row: Delphi "*.pas", "*.dfm", the
// program's code page and no build command, as a project has always started; Lazarus
// "*.pas;*.pp;*.lpr", "*.lfm", "UTF-8" and the build command LazarusBuildCommand makes of the
// project's main ".lpr" and ".lpi" files.
KindDefaults DefaultsOfKind(ProjectKind kind, const store::Table& projects,
                            const LazarusInstallation& lazarus);

// Makes `kind` the kind of the current row, which must be in edit or insert state (the caller
// posts). The unit masks, form masks, code page and build command that still hold the previous
// kind's defaults (or nothing) take the defaults of the new kind; a value the user changed
// stays.
void SetProjectKind(store::Table& projects, ProjectKind kind, const LazarusInstallation& lazarus);

}  // namespace lexorin::project
