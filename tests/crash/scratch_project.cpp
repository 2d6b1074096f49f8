#include "crash/scratch_project.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace lexorin::crash {

namespace fs = std::filesystem;

ScratchProject::ScratchProject(const std::string& template_src) {
    fs::copy(template_src, src(), fs::copy_options::recursive);
    fs::create_directories(home());
}

lexorin::testing::CommandResult ScratchProject::cli(const std::string& args) const {
    return lexorin::testing::run_command("cd '" + work_.path() + "' && LEXORIN_HOME='" + home() +
                                         "' '" + LEXORIN_CLI + "' " + args);
}

void ScratchProject::Register() const {
    for (const char* step :
         {"project add Demo src", "language add Demo German", "language add Demo French"}) {
        const lexorin::testing::CommandResult result = cli(step);
        ASSERT_EQ(result.status, 0) << step << ": " << result.err;
    }
}

pid_t ScratchProject::Start(const std::vector<std::string>& args, const std::string& log) const {
    std::vector<char*> argv{const_cast<char*>("lexorin-cli")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        if (::chdir(work_.path().c_str()) != 0) ::_exit(126);
        ::setenv("LEXORIN_HOME", home().c_str(), 1);
        if (!std::freopen(log.c_str(), "w", stdout) || !std::freopen(log.c_str(), "a", stderr))
            ::_exit(126);
        ::execv(LEXORIN_CLI, argv.data());
        ::_exit(127);
    }
    if (pid > 0) ::setpgid(pid, pid);  // either side may come first
    return pid;
}

std::string ScratchProject::RowText(const store::Table& table) const {
    std::string row;
    for (const auto& field : table.schema().fields)
        row += field.name + "=" + table.text(field.name) + "\t";
    for (size_t at = row.find('\n'); at != std::string::npos; at = row.find('\n', at))
        row.replace(at, 1, "\\n");
    for (size_t at = row.find(work_.path()); at != std::string::npos;
         at = row.find(work_.path(), at))
        row.replace(at, work_.path().size(), "<copy>");
    return row;
}

}  // namespace lexorin::crash
