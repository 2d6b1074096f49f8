#include "corpus/lazarus_programs.h"

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "corpus/stopwatch.h"
#include "support/test_support.h"

namespace lexorin::corpus {

namespace fs = std::filesystem;

std::string Lazarus::FpcOptions(const std::string& widgetset) const {
    return "-MObjFPC -Scghi -Fu" + lcl_units + " -Fu" + lcl_units + "/" + widgetset + " -Fu" +
           lazutils_units + " -dLCL -dLCL" + widgetset;
}

bool Lazarus::HasWidgetset(const std::string& widgetset) const {
    return fs::is_directory(lcl_units + "/" + widgetset);
}

Lazarus FindLazarus() {
    const fs::path root = "/usr/lib/lazarus";
    if (fs::is_directory(root))
        for (const auto& version : fs::directory_iterator(root)) {
            const fs::path dir = version.path();
            const fs::path lcl = dir / "lcl/units/x86_64-linux";
            if (!fs::is_directory(dir / "examples") || !fs::is_directory(lcl / "nogui")) continue;
            return {(dir / "examples").string(), lcl.string(),
                    (dir / "components/lazutils/lib/x86_64-linux").string()};
        }
    throw std::runtime_error(
        "Lazarus is not installed: its sources and LCL units come with the packages "
        "lazarus-src-2.2, lcl-units-2.2 and lcl-nogui-2.2 (scripts/install.sh)");
}

std::string MainFile(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lpr") found.push_back(entry.path().filename().string());
    return found.size() == 1 ? found.front() : std::string();
}

bool HasForm(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".lfm") return true;
    return false;
}

Build BuildProgram(const std::string& fpc_options, const std::string& folder,
                   const std::string& main, bool keep_executable) {
    const std::string out = folder + "/out";
    fs::remove_all(out);
    fs::create_directories(out);
    const Stopwatch clock;
    const lexorin::testing::CommandResult result = lexorin::testing::run_command(
        "cd '" + folder + "' && fpc " + fpc_options + " -B -FEout '" + main + "' 2>&1");
    Build build;
    build.seconds = clock.seconds();
    const std::string executable = out + "/" + fs::path(main).stem().string();
    build.linked = result.status == 0 && fs::exists(executable);
    build.output = result.out + result.err;
    if (keep_executable && build.linked)
        build.executable = executable;
    else
        fs::remove_all(out);
    return build;
}

std::string Tail(const std::string& text) {
    const size_t from = text.size() > 1500 ? text.size() - 1500 : 0;
    return text.substr(from);
}

}  // namespace lexorin::corpus
