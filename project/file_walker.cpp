#include "project/file_walker.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <utility>

#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin::project {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The entries of a folder in a fixed order, the way the file systems the projects come from
// list them (by name without regard to the case of a to z), so that a walk is repeatable.
// A folder that cannot be opened gives nullopt, with errno telling why.
std::optional<std::vector<std::string>> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.empty() ? "/" : folder.c_str()));
    if (!dir) return std::nullopt;
    while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string ua = upper_case(a), ub = upper_case(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

// Whether the entry at `path` is a link whose target lies outside `real_root` (the root with
// every link resolved), and where it leads.
bool leads_out(const std::string& path, const std::string& real_root, std::string& target) {
    struct stat link {};
    if (real_root.empty() || ::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) return false;
    target = real.get();
    const bool inside = real_root == "/" || target == real_root ||
                        (starts_with(target, real_root) && target[real_root.size()] == '/');
    return !inside;
}

// A folder told apart from every other whatever path leads to it.
struct FolderId {
    std::uint64_t device;
    std::uint64_t inode;
    bool operator==(const FolderId&) const = default;
};

}  // namespace

struct FileWalker::WalkState {
    SourceWalk found;
    std::string real_root;               // for leads_out
    std::vector<FolderId> open_folders;  // the folders on the way down to the current one
};

SourceWalk FileWalker::Walk() const {
    WalkState state;
    const std::unique_ptr<char, decltype(&std::free)> real_root(
        ::realpath(root.empty() ? "/" : root.c_str(), nullptr), &std::free);
    if (real_root) state.real_root = real_root.get();
    WalkFolder(root, state);
    return std::move(state.found);
}

void FileWalker::WalkFolder(std::string folder, WalkState& state) const {
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    // A folder reached again through a link to one of the folders being walked would repeat
    // forever; it is walked only once on the way down.
    struct stat folder_stat {};
    if (::stat(folder.empty() ? "/" : folder.c_str(), &folder_stat) != 0) return;
    FolderId id{static_cast<std::uint64_t>(folder_stat.st_dev),
                static_cast<std::uint64_t>(folder_stat.st_ino)};
    std::vector<FolderId>& open_folders = state.open_folders;
    if (std::find(open_folders.begin(), open_folders.end(), id) != open_folders.end()) return;
    open_folders.push_back(id);
    struct Leave {
        std::vector<FolderId>& folders;
        ~Leave() { folders.pop_back(); }
    } leave{open_folders};

    const auto entries = folder_entries(folder);
    if (!entries) {
        // Its files would be missed without a word: the caller reports the folder.
        state.found.unreadable_folders.push_back({folder, std::strerror(errno)});
        return;
    }
    for (const std::string& name : *entries) {
        std::string path = folder + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;  // a dangling link or an entry just removed
        std::string target;
        const bool skip =
            outside_links == OutsideLinks::Skip && leads_out(path, state.real_root, target);
        if (S_ISDIR(st.st_mode)) {
            if (name[0] != '.' && recursive) {
                if (skip)
                    state.found.skipped_links.push_back({path, target, true});
                else
                    WalkFolder(path, state);
            }
            continue;
        }
        // Pipes, sockets and devices are not source files; opening a pipe would block the scan.
        if (!S_ISREG(st.st_mode)) continue;
        if (!Accepts(path)) continue;
        if (skip)
            state.found.skipped_links.push_back({path, target, false});
        else
            state.found.files.push_back(path);
    }
}

bool FileWalker::Accepts(const std::string& path) const {
    return MatchesAnyMask(path) && !IsExcludedFolder(path);
}

bool FileWalker::MatchesAnyMask(const std::string& path) const {
    std::string lowered = path;
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return std::any_of(masks.begin(), masks.end(),
                       [&](const std::string& mask) { return MatchesMask(lowered, mask); });
}

// Only the file's own folder counts: files in subfolders of an excluded folder are still taken.
// An entry typed without its final "/" names the same folder.
bool FileWalker::IsExcludedFolder(const std::string& path) const {
    auto slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return std::any_of(excluded_folders.begin(), excluded_folders.end(), [&](std::string entry) {
        if (!entry.empty() && entry.back() != '/') entry += '/';
        return equal_no_case(folder, entry);
    });
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*") return true;
    if (mask == "*.*" && name.find('.') != std::string::npos) return true;
    if (mask.find_first_of("*?") == std::string::npos) return name == mask;

    // Positions are zero-based here; "?" steps over a character without checking that one is
    // there, so a name too short for the mask fails only in the final length test.
    size_t pos = 0;
    bool star_pending = false;
    size_t i = 0;
    while (i < mask.size()) {
        char c = mask[i];
        if (c == '*') {
            star_pending = true;
            ++i;
            continue;
        }
        if (c == '?') {
            ++pos;
            ++i;
            continue;
        }
        size_t end = mask.find_first_of("*?", i);
        if (end == std::string::npos) end = mask.size();
        std::string_view literal(mask.data() + i, end - i);
        if (star_pending) {
            star_pending = false;
            size_t found = pos <= name.size() ? name.find(literal, pos) : std::string::npos;
            if (found == std::string::npos) return false;
            pos = found + literal.size();
        } else {
            if (pos > name.size() || std::string_view(name).substr(pos, literal.size()) != literal)
                return false;
            pos += literal.size();
        }
        i = end;
    }
    return star_pending || pos == name.size();
}

std::vector<std::string> SplitMasks(const std::string& mask_text) {
    // The separators become line breaks and the text is split into lines, so a separator at the
    // very end gives no extra (empty) mask and an empty text gives none.
    std::vector<std::string> masks;
    size_t start = 0;
    while (start < mask_text.size()) {
        size_t end = mask_text.find_first_of(",;", start);
        if (end == std::string::npos) end = mask_text.size();
        masks.push_back(trim(std::string_view(mask_text).substr(start, end - start)));
        start = end + 1;
    }
    return masks;
}

std::string OutsideLinkReason(const OutsideLink& link) {
    return std::string("it is a link to a ") + (link.folder ? "folder" : "file") +
           " outside the project folder (" + link.target + ")" +
           (link.folder ? ", whose files were left out" : ", left as it is") +
           "; allow links out of the project folder with the project option Cfollowlinks "
           "(\"Follow outside links\" in Scan code)";
}

std::vector<std::string> CollectFiles(const std::string& root, bool recursive,
                                      const std::string& mask_text,
                                      const std::vector<std::string>& excluded,
                                      std::vector<UnreadableFolder>* unreadable, OutsideLinks links,
                                      std::vector<OutsideLink>* skipped_links) {
    FileWalker walker;
    walker.root = root;
    walker.recursive = recursive;
    walker.masks = SplitMasks(mask_text);
    walker.excluded_folders = excluded;
    walker.outside_links = links;
    SourceWalk found = walker.Walk();
    if (unreadable) *unreadable = std::move(found.unreadable_folders);
    if (skipped_links) *skipped_links = std::move(found.skipped_links);
    return std::move(found.files);
}

OutsideLinks ProjectOutsideLinks(const store::Table& projects) {
    return projects.has_field(field::Cfollowlinks) && projects.logical(field::Cfollowlinks)
               ? OutsideLinks::Follow
               : OutsideLinks::Skip;
}

std::vector<std::string> OncePerFile(const std::vector<std::string>& files) {
    // Device and inode tell files apart whatever path leads to them; a file that cannot be
    // looked at stays in the list, so that the command reports it.
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<std::string> once;
    once.reserve(files.size());
    for (const std::string& file : files) {
        struct stat st {};
        if (::stat(file.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) continue;
        once.push_back(file);
    }
    return once;
}

std::vector<std::string> ProjectFiles(const store::Table& projects, const char* masks_field,
                                      std::vector<UnreadableFolder>* unreadable, OutsideLinks links,
                                      std::vector<OutsideLink>* skipped_links) {
    return OncePerFile(CollectFiles(projects.text(field::Directory),
                                    projects.logical(field::Recoursive), projects.text(masks_field),
                                    decode_list(projects.text(field::Excluded)), unreadable, links,
                                    skipped_links));
}

}  // namespace lexorin::project
