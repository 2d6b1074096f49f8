#pragma once

// The real units of the corpus: which folders of which Free Pascal packages, and copying them
// into a project folder.

#include <map>
#include <string>
#include <vector>

namespace lexorin::corpus {

// Folders of one package of the library sources, relative to the package folder; their units
// and include files are taken, not the folders below them.
struct PackageFolders {
    std::string package;
    std::vector<std::string> folders;
};

// The packages and folders the corpus is made of.
const std::vector<PackageFolders>& CorpusPackages();

// What CopyCorpus made.
struct CopiedCorpus {
    std::vector<std::string> units;                 // full paths of the .pas copies, sorted
    std::vector<std::string> include_files;         // full paths of the .inc copies
    std::vector<std::string> folders;               // every folder that received files
    std::map<std::string, std::string> package_of;  // unit path -> package name
    std::vector<std::string> programs_left_out;     // test programs among the sources
};

// Copies the units (.pp renamed to .pas, the unit names inside stay) and include files of the
// selected folders from `packages_root` into `project`/<package>/<folder below src>.
// The packages' build scripts (fpmake) and test programs are left out.
CopiedCorpus CopyCorpus(const std::string& packages_root, const std::string& project);

}  // namespace lexorin::corpus
