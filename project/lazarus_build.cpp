#include "project/lazarus_build.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/file_utils.h"

namespace lexorin::project {

namespace {

bool executable_on_path(const std::string& program, const std::string& search_path) {
    size_t start = 0;
    while (start <= search_path.size()) {
        size_t end = search_path.find(':', start);
        if (end == std::string::npos) end = search_path.size();
        // An empty entry is the working directory, as the shell takes it.
        const std::string folder = end > start ? search_path.substr(start, end - start) : ".";
        const std::string path = join_path(folder, program);
        if (file_exists(path) && ::access(path.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// "2.2.10" after "2.2.6": numbers compare as numbers, other characters as they are.
bool version_before(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            const std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            const size_t za = na.find_first_not_of('0'), zb = nb.find_first_not_of('0');
            const std::string ta = za == std::string::npos ? "" : na.substr(za);
            const std::string tb = zb == std::string::npos ? "" : nb.substr(zb);
            if (ta.size() != tb.size()) return ta.size() < tb.size();
            if (ta != tb) return ta < tb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

// The folders of the LCL and LazUtils units of a version folder, in the order fpc is given them.
std::vector<std::string> unit_folders(const std::string& version_folder,
                                      const std::string& target) {
    const std::string lcl = version_folder + "/lcl/units/" + target;
    return {lcl, lcl + "/nogui", version_folder + "/components/lazutils/lib/" + target};
}

}  // namespace

std::string NativeTarget() {
#if defined(__x86_64__)
    const std::string cpu = "x86_64";
#elif defined(__aarch64__)
    const std::string cpu = "aarch64";
#elif defined(__i386__)
    const std::string cpu = "i386";
#elif defined(__arm__)
    const std::string cpu = "arm";
#elif defined(__powerpc64__)
    const std::string cpu = "powerpc64";
#elif defined(__riscv) && __riscv_xlen == 64
    const std::string cpu = "riscv64";
#else
    const std::string cpu = "unknown";
#endif
#if defined(__linux__)
    return cpu + "-linux";
#elif defined(__FreeBSD__)
    return cpu + "-freebsd";
#elif defined(__APPLE__)
    return cpu + "-darwin";
#else
    return cpu + "-unknown";
#endif
}

LazarusInstallation FindLazarus(const std::string& lazarus_root, const std::string& search_path) {
    LazarusInstallation found;
    found.fpc = executable_on_path("fpc", search_path);
    found.lazbuild = executable_on_path("lazbuild", search_path);
    found.target = NativeTarget();
    std::error_code error;
    std::string newest;
    for (std::filesystem::directory_iterator it(lazarus_root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::vector<std::string> folders =
            unit_folders(join_path(lazarus_root, name), found.target);
        if (!std::all_of(folders.begin(), folders.end(), directory_exists)) continue;
        if (newest.empty() || version_before(newest, name)) newest = name;
    }
    if (!newest.empty()) found.version_folder = join_path(lazarus_root, newest);
    return found;
}

LazarusInstallation FindLazarus() {
    const char* path = std::getenv("PATH");
    return FindLazarus(kLazarusRoot, path ? path : "/usr/local/bin:/usr/bin:/bin");
}

std::string LazarusBuildCommand(const LazarusInstallation& lazarus, const std::string& program,
                                const std::string& project_file) {
    if (lazarus.fpc && !program.empty() && !lazarus.version_folder.empty()) {
        std::string command = "fpc -MObjFPC -Scghi";
        for (const auto& folder : unit_folders(lazarus.version_folder, lazarus.target))
            command += " " + ShellWord("-Fu" + folder);
        return command + " -dLCL -dLCLnogui " + ShellWord(program);
    }
    if (lazarus.lazbuild && !project_file.empty()) return "lazbuild " + ShellWord(project_file);
    if (lazarus.fpc && !program.empty()) return "fpc -MObjFPC -Scghi " + ShellWord(program);
    return "";
}

std::string MainFile(const std::string& directory, std::vector<std::string> files) {
    if (files.empty()) return "";
    const auto depth = [](const std::string& path) {
        return std::count(path.begin(), path.end(), '/');
    };
    std::sort(files.begin(), files.end(), [&](const std::string& a, const std::string& b) {
        const auto da = depth(a), db = depth(b);
        return da != db ? da < db : a < b;
    });
    std::string root = directory;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    const std::string& main = files.front();
    if (main.size() > root.size() + 1 && main.compare(0, root.size(), root) == 0 &&
        main[root.size()] == '/')
        return main.substr(root.size() + 1);
    return main;
}

std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("._/+-=").find(c) != std::string_view::npos;
    });
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace lexorin::project
