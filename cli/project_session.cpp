#include "cli/project_session.h"

#include "base/text_utils.h"
#include "project/project_ready.h"

namespace lexorin::cli {

namespace {

// Keeps the first error the core reports, so that a failed precondition becomes the command's
// one-line failure instead of a second message.
class FirstError : public SilentReporter {
  public:
    void error(const std::string& text) override {
        if (first.empty()) first = text;
    }
    std::string first;
};

}  // namespace

ProjectSession::ProjectSession(Context& context, const std::string& project_name)
    : name_(project_name),
      context_(context),
      projects_module_(context.session),
      daten_(context.session, context.home) {
    project::require_project(projects(), project_name);
    languages_.fill(projects().text(project::field::Languages));
}

const std::string& ProjectSession::select_language(const std::string& language) {
    for (size_t i = 0; i < languages_.items.size(); ++i) {
        if (equal_no_case(languages_.items[i], language)) {
            languages_.selected = static_cast<int>(i);
            return languages_.items[i];
        }
    }
    throw Error("The project " + name_ + " has no language " + language + ".");
}

void ProjectSession::lock() {
    if (!lock_) lock_.emplace(context_.home, projects().text(project::field::Name));
}

void ProjectSession::require_ready(bool requireSelection) {
    FirstError errors;
    if (!CheckProjectReady(projects(), languages_, true, requireSelection, errors))
        throw Error(errors.first);
}

}  // namespace lexorin::cli
