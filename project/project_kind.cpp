#include "project/project_kind.h"

#include "base/errors.h"
#include "base/text_utils.h"
#include "project/file_walker.h"
#include "project/projects_table.h"
#include "store/table_store.h"

namespace lexorin::project {

namespace {

constexpr const char* kDelphiUnits = "*.pas";
constexpr const char* kDelphiForms = "*.dfm";
constexpr const char* kLazarusUnits = "*.pas;*.pp;*.lpr";
constexpr const char* kLazarusForms = "*.lfm";
constexpr const char* kLazarusCodePage = "UTF-8";

// A row without a directory yet has no files.
std::vector<std::string> collect(const std::string& directory, bool recursive, const char* masks,
                                 const std::vector<std::string>& excluded) {
    if (trim(directory).empty()) return {};
    return CollectFiles(directory, recursive, masks, excluded, nullptr, OutsideLinks::Skip);
}

struct ProjectTree {
    std::string directory;
    bool recursive = true;
    std::vector<std::string> excluded;

    explicit ProjectTree(const store::Table& projects)
        : directory(projects.text(field::Directory)),
          recursive(projects.logical(field::Recoursive)),
          excluded(decode_list(projects.text(field::Excluded))) {}

    std::vector<std::string> files(const char* masks) const {
        return collect(directory, recursive, masks, excluded);
    }
};

// Sets `field` to the new default when it holds the old one or nothing. Masks are matched as
// written, so only a code page name compares without regard to case.
void follow(store::Table& projects, const char* field, const std::string& old_default,
            const std::string& new_default, bool any_case = false) {
    const std::string value = trim(projects.text(field));
    const bool is_default = any_case ? equal_no_case(value, old_default) : value == old_default;
    if (value.empty() || is_default) projects.set_text(field, new_default);
}

}  // namespace

const char* ProjectKindName(ProjectKind kind) {
    return kind == ProjectKind::Lazarus ? "Lazarus" : "Delphi";
}

ProjectKind ParseProjectKind(const std::string& name) {
    for (ProjectKind kind : {ProjectKind::Delphi, ProjectKind::Lazarus})
        if (equal_no_case(trim(name), ProjectKindName(kind))) return kind;
    throw Error("There is no project kind " + name + "; the kinds are Delphi and Lazarus.");
}

ProjectKind ProjectKindOf(const store::Table& projects) {
    if (!projects.has_field(field::Ckind)) return ProjectKind::Delphi;
    const std::string name = projects.text(field::Ckind);
    return trim(name).empty() ? ProjectKind::Delphi : ParseProjectKind(name);
}

ProjectKind DetectProjectKind(const std::string& directory, bool recursive,
                              const std::vector<std::string>& excluded) {
    const auto any = [&](const char* masks) {
        return !collect(directory, recursive, masks, excluded).empty();
    };
    // The forms decide first, as their format is what the writers must give back: a folder
    // that keeps a Delphi program file beside its Lazarus one (.dpr and .lpr, both building the
    // same .lfm forms) is a Lazarus project. Without forms, the program and project files do.
    const bool lazarus_forms = any("*.lfm");
    const bool delphi_forms = any("*.dfm");
    if (lazarus_forms || delphi_forms)
        return lazarus_forms && !delphi_forms ? ProjectKind::Lazarus : ProjectKind::Delphi;
    return any("*.lpr;*.lpi") && !any("*.dpr") ? ProjectKind::Lazarus : ProjectKind::Delphi;
}

KindDefaults DefaultsOfKind(ProjectKind kind, const store::Table& projects,
                            const LazarusInstallation& lazarus) {
    if (kind == ProjectKind::Delphi) return {kDelphiUnits, kDelphiForms, "", ""};
    const ProjectTree tree(projects);
    const std::string program = MainFile(tree.directory, tree.files("*.lpr"));
    const std::string project_file = MainFile(tree.directory, tree.files("*.lpi"));
    return {kLazarusUnits, kLazarusForms, kLazarusCodePage,
            LazarusBuildCommand(lazarus, program, project_file)};
}

void SetProjectKind(store::Table& projects, ProjectKind kind, const LazarusInstallation& lazarus) {
    const KindDefaults before = DefaultsOfKind(ProjectKindOf(projects), projects, lazarus);
    const KindDefaults after = DefaultsOfKind(kind, projects, lazarus);
    follow(projects, field::SourceExtensions, before.unit_masks, after.unit_masks);
    follow(projects, field::FormsExtension, before.form_masks, after.form_masks);
    follow(projects, field::Ccodepage, before.code_page, after.code_page, true);
    follow(projects, field::Cbuildcommand, before.build_command, after.build_command);
    projects.set_text(field::Ckind, ProjectKindName(kind));
}

}  // namespace lexorin::project
