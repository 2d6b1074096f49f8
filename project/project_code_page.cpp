#include "project/project_code_page.h"

#include "base/errors.h"
#include "base/text_utils.h"
#include "project/projects_table.h"
#include "store/table_store.h"

namespace lexorin::project {

CodePage ProjectCodePage(const store::Table& projects, const CodePage& program_code_page) {
    if (!projects.has_field(field::Ccodepage)) return program_code_page;
    const std::string name = trim(projects.text(field::Ccodepage));
    if (name.empty()) return program_code_page;
    try {
        return CodePage(name);
    } catch (const Error&) {
        throw Error("The project " + projects.text(field::Name) + " names the code page " + name +
                    ", which is unknown.");
    }
}

void CheckCodePageName(const std::string& name) {
    if (!trim(name).empty()) static_cast<void>(CodePage(trim(name)));
}

}  // namespace lexorin::project
