#include "project/project_ready.h"

#include "project/projects_table.h"

namespace lexorin {

namespace field = project::field;

bool CheckProjectReady(const store::Table& projects, LanguageList& languages, bool needLanguage,
                       bool requireSelection, Reporter& reporter) {
    bool has_row = projects.is_open() && projects.has_current();
    if (!has_row || projects.text(field::Name).empty() || projects.text(field::Directory).empty()) {
        reporter.error("No project name found. Plase enter a project.");
        return false;
    }
    if (needLanguage && requireSelection && !languages.has_selection()) {
        reporter.error("You did not select a language.");
        return false;
    }
    if (needLanguage && languages.items.empty()) {
        reporter.error("You have to add a language first.");
        return false;
    }
    if (needLanguage && !languages.has_selection()) languages.selected = 0;
    return true;
}

}  // namespace lexorin
