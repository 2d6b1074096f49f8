#pragma once

#include <string>
#include <vector>

// Walking a project's source tree: the walker and the one-call file list that every command
// uses.
namespace lexorin::store {
class Table;
}

namespace lexorin::project {

// A folder the walk could not read, with the reason.
struct UnreadableFolder {
    std::string folder;
    std::string reason;
};

// What a walk does with a symbolic link that leads out of its root folder (to a file or a
// folder that lies elsewhere).
enum class OutsideLinks {
    Follow,  // walked like any other file or folder
    Skip,    // left out, and listed
};

// A link the walk left out because it leads out of the root folder.
struct OutsideLink {
    std::string path;    // as the walk met it, under the root
    std::string target;  // where it leads
    bool folder = false;
};

// Why an outside link was left out, for a report after its path: "it is a link to a file
// outside the project folder (...); allow it with ...".
std::string OutsideLinkReason(const OutsideLink& link);

// What one walk found.
struct SourceWalk {
    std::vector<std::string> files;  // the accepted paths, in the order found
    // The folders that could not be read (their files are missing).
    std::vector<UnreadableFolder> unreadable_folders;
    // The links left out (outside_links Skip): files that would have been taken and folders
    // that would have been walked.
    std::vector<OutsideLink> skipped_links;
};

// Walks a folder depth-first and keeps the files that match one of its masks and do not lie
// directly in an excluded folder. Paths are joined with "/"; folders whose names start with "."
// are not entered.
class FileWalker {
  public:
    std::string root = "/";
    bool recursive = true;                      // whether subfolders are walked
    std::vector<std::string> masks;             // matched against the lower-cased path
    std::vector<std::string> excluded_folders;  // folder paths; a missing final "/" is supplied
    OutsideLinks outside_links = OutsideLinks::Follow;

    // Runs one walk over the settings above.
    SourceWalk Walk() const;

  private:
    struct WalkState;
    void WalkFolder(std::string folder, WalkState& state) const;
    bool Accepts(const std::string& path) const;
    bool MatchesAnyMask(const std::string& path) const;
    bool IsExcludedFolder(const std::string& path) const;
};

// Whether a (lower-cased) name matches one mask: "*" any run of characters, "?" one character,
// the first occurrence of a literal after a "*" taken without backtracking.
bool MatchesMask(const std::string& name, const std::string& mask);

// The masks of a mask text: split at "," and ";", each trimmed; empty masks stay (they match
// nothing).
std::vector<std::string> SplitMasks(const std::string& mask_text);

// The files under root that match one of the masks of mask_text, outside the excluded folders,
// in the order found. A root that does not exist gives an empty list. The folders that could not
// be read go to `unreadable` when given; with `links` Skip, the links out of the root that were
// left out go to `skipped_links` when given.
std::vector<std::string> CollectFiles(const std::string& root, bool recursive,
                                      const std::string& mask_text,
                                      const std::vector<std::string>& excluded,
                                      std::vector<UnreadableFolder>* unreadable = nullptr,
                                      OutsideLinks links = OutsideLinks::Follow,
                                      std::vector<OutsideLink>* skipped_links = nullptr);

// The project's choice for links out of its directory (field Cfollowlinks; Skip when a table
// of an earlier version lacks it).
OutsideLinks ProjectOutsideLinks(const store::Table& projects);

// The files of the project on the current row of `projects` whose names match the masks in its
// field `masks_field` (the unit or the form extensions): under its directory, recursively as
// its row says, outside its excluded folders, each file once whatever links lead to it. Links
// out of the directory are handled as `links` says.
std::vector<std::string> ProjectFiles(const store::Table& projects, const char* masks_field,
                                      std::vector<UnreadableFolder>* unreadable = nullptr,
                                      OutsideLinks links = OutsideLinks::Follow,
                                      std::vector<OutsideLink>* skipped_links = nullptr);

// The files as listed, less those that are the same file as one listed before them (reached
// again through a linked folder, or named twice): each file is worked on once per command.
std::vector<std::string> OncePerFile(const std::vector<std::string>& files);

}  // namespace lexorin::project
