#include "corpus/corpus_sources.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "support/test_support.h"

namespace lexorin::corpus {

namespace fs = std::filesystem;

const std::vector<PackageFolders>& CorpusPackages() {
    // Parsers and scanners full of messages and keyword tables, image readers and writers with
    // their header constants, database units with SQL text and C library calls taking PChar.
    // Left out for time: fcl-db's MySQL units (eight near copies of one include file) and its
    // export, data dictionary and code generator folders.
    static const std::vector<PackageFolders> packages = {
        {"fcl-passrc", {"src"}},
        {"fcl-js", {"src"}},
        {"webidl", {"src"}},
        {"regexpr", {"src"}},
        {"fcl-registry", {"src"}},
        {"fcl-process", {"src", "src/unix"}},
        {"fcl-image", {"src"}},
        {"fcl-db",
         {"src/base", "src/dbase", "src/json", "src/sql", "src/sqldb", "src/sqldb/postgres",
          "src/sqldb/sqlite", "src/sqldb/interbase", "src/sqldb/odbc", "src/sqlite"}},
    };
    return packages;
}

namespace {

// "src/sqldb/postgres" -> "sqldb/postgres"; "src" -> "".
fs::path BelowSource(const std::string& folder) {
    fs::path relative = fs::path(folder).lexically_relative("src");
    return relative == "." ? fs::path() : relative;
}

// Whether a source opens with "program" rather than "unit" (the folders hold a few test
// programs, which have no implementation part and so nothing a scan would take).
bool IsProgram(const fs::path& source) {
    std::istringstream lines(lexorin::testing::read_test_file(source.string()));
    for (std::string line; std::getline(lines, line);) {
        std::string word;
        std::istringstream(line) >> word;
        std::transform(word.begin(), word.end(), word.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (word == "program") return true;
        if (word == "unit" || word == "library") return false;
    }
    return false;
}

}  // namespace

CopiedCorpus CopyCorpus(const std::string& packages_root, const std::string& project) {
    CopiedCorpus corpus;
    for (const auto& [package, folders] : CorpusPackages()) {
        for (const auto& folder : folders) {
            const fs::path from = fs::path(packages_root) / package / folder;
            if (!fs::is_directory(from))
                throw std::runtime_error("missing library source folder " + from.string());
            const fs::path to = fs::path(project) / package / BelowSource(folder);
            fs::create_directories(to);
            corpus.folders.push_back(to.string());
            for (const auto& entry : fs::directory_iterator(from)) {
                if (!entry.is_regular_file()) continue;
                const fs::path name = entry.path().filename();
                const std::string extension = name.extension().string();
                if (name.stem() == "fpmake") continue;
                if (extension == ".inc") {
                    fs::copy_file(entry.path(), to / name);
                    corpus.include_files.push_back((to / name).string());
                } else if ((extension == ".pp" || extension == ".pas") && IsProgram(entry.path())) {
                    corpus.programs_left_out.push_back(entry.path().string());
                } else if (extension == ".pp" || extension == ".pas") {
                    const fs::path copy = to / fs::path(name).replace_extension(".pas");
                    if (fs::exists(copy))
                        throw std::runtime_error("two sources for " + copy.string());
                    fs::copy_file(entry.path(), copy);
                    corpus.units.push_back(copy.string());
                    corpus.package_of[copy.string()] = package;
                }
            }
        }
    }
    std::sort(corpus.units.begin(), corpus.units.end());
    std::sort(corpus.include_files.begin(), corpus.include_files.end());
    return corpus;
}

}  // namespace lexorin::corpus
