#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/errors.h"

// Walking a project's source tree: the walker component and the one-call file list that every
// command uses.
namespace lexorin::store {
class Table;
}

namespace lexorin::project {

// Misuse of a walker: changing its settings or starting it while it runs.
class EFileIteratorError : public Error {
  public:
    using Error::Error;
};

enum class TFileIteratorOption { fiPath, fiDetails, fiRecurseFolders };

// A set of TFileIteratorOption.
class TFileIteratorOptions {
  public:
    TFileIteratorOptions() = default;
    TFileIteratorOptions(std::initializer_list<TFileIteratorOption> options) {
        for (auto option : options) include(option);
    }
    // fiPath, fiDetails and fiRecurseFolders.
    static TFileIteratorOptions all() {
        return {TFileIteratorOption::fiPath, TFileIteratorOption::fiDetails,
                TFileIteratorOption::fiRecurseFolders};
    }
    bool has(TFileIteratorOption option) const { return bits_ & bit(option); }
    void include(TFileIteratorOption option) { bits_ |= bit(option); }
    void exclude(TFileIteratorOption option) { bits_ &= ~bit(option); }
    bool operator==(const TFileIteratorOptions&) const = default;

  private:
    static unsigned bit(TFileIteratorOption option) { return 1u << static_cast<unsigned>(option); }
    unsigned bits_ = 0;
};

// The details of one file, filled when fiDetails is set.
struct TFileInfo {
    std::int64_t size = 0;   // bytes
    std::uint32_t time = 0;  // packed date/time: date in the high word, time in the low word
    std::uint32_t attributes = 0;
    double date_time = 0;    // days since 1899-12-30, the fraction the time of day
    std::string name;        // the bare file name
    std::int32_t level = 0;  // folder depth; files directly in the root have depth 1
};

// Attribute bits of TFileInfo, as the file systems the projects come from define them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrArchive = 0x20;

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

// One accepted file: its name as reported and a copy of its details.
struct TFileInfoObject {
    std::string file_name;
    TFileInfo info;
};

// Walks a folder depth-first and keeps the files that match one of its masks and do not lie
// directly in an excluded folder. Paths are joined with "/".
class TFileIterator {
  public:
    using AddFileQueryEvent = std::function<void(
        TFileIterator& sender, const std::string& file_name, const TFileInfo& info, bool& can_add)>;
    using AddFileEvent = std::function<void(TFileIterator& sender, const std::string& file_name,
                                            const TFileInfo& info)>;
    using NotifyEvent = std::function<void(TFileIterator& sender)>;

    const TFileIteratorOptions& Options() const { return options_; }
    void SetOptions(const TFileIteratorOptions& options);
    const std::string& RootFolder() const { return root_folder_; }
    void SetRootFolder(const std::string& folder);

    AddFileQueryEvent OnAddFileQuery;
    AddFileEvent OnAddFile;
    NotifyEvent OnActivate;
    NotifyEvent OnTerminate;

    std::vector<std::string> Masks;
    std::vector<std::string> ExcludedFolders;  // folder paths, each ending with "/"
    OutsideLinks LinksOutOfRoot = OutsideLinks::Follow;

    const std::vector<TFileInfoObject>& Files() const { return files_; }
    // The folders of the last walk that could not be read (their files are missing).
    const std::vector<UnreadableFolder>& UnreadableFolders() const { return unreadable_; }
    // The links of the last walk that were left out (LinksOutOfRoot Skip): files that would have
    // been taken and folders that would have been walked.
    const std::vector<OutsideLink>& SkippedLinks() const { return skipped_links_; }
    bool running() const { return running_; }

    // Runs one walk; Files() then holds the accepted names in the order found.
    void Execute();

  private:
    struct FolderId {
        std::uint64_t device;
        std::uint64_t inode;
        bool operator==(const FolderId&) const = default;
    };
    void WalkFolder(std::string folder, int level, std::vector<FolderId>& open_folders);
    // Whether the entry at `path` is a link whose target lies outside the root folder, and
    // where it leads.
    bool LeadsOut(const std::string& path, std::string& target) const;
    bool QueryAddFile(const std::string& file_name, const TFileInfo& info);
    void AddFile(const std::string& file_name, const TFileInfo& info);
    bool MatchesAnyMask(const std::string& name) const;
    bool IsExcludedFolder(const std::string& file_name) const;

    TFileIteratorOptions options_ = TFileIteratorOptions::all();
    std::string root_folder_ = "/";
    std::vector<TFileInfoObject> files_;
    std::vector<UnreadableFolder> unreadable_;
    std::vector<OutsideLink> skipped_links_;
    std::string real_root_;  // the root with every link resolved, for LeadsOut
    bool running_ = false;
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
