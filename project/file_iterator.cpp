#include "project/file_iterator.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <set>

#include "base/text_utils.h"
#include "project/projects_table.h"

namespace lexorin::project {

namespace {

// The packed form keeps the local date in the high word (year since 1980, month, day) and the
// local time in the low word (hours, minutes, seconds halved).
std::uint32_t packed_time(std::time_t seconds) {
    std::tm local{};
    if (!localtime_r(&seconds, &local) || local.tm_year < 80) return 0;
    std::uint32_t date = static_cast<std::uint32_t>(((local.tm_year - 80) << 9) |
                                                    ((local.tm_mon + 1) << 5) | local.tm_mday);
    std::uint32_t time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                                    (local.tm_sec / 2));
    return (date << 16) | time;
}

// Days since 1899-12-30 in local time; 25569 is the day number of 1970-01-01.
double date_time_value(std::time_t seconds) {
    std::tm local{};
    long offset = localtime_r(&seconds, &local) ? local.tm_gmtoff : 0;
    return 25569.0 + static_cast<double>(seconds + offset) / 86400.0;
}

TFileInfo file_info(const std::string& name, const struct stat& st, int level) {
    TFileInfo info;
    info.size = static_cast<std::int64_t>(st.st_size);
    info.time = packed_time(st.st_mtime);
    info.date_time = date_time_value(st.st_mtime);
    info.attributes = kAttrArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) info.attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.') info.attributes |= kAttrHidden;
    info.name = name;
    info.level = level;
    return info;
}

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

}  // namespace

void TFileIterator::SetOptions(const TFileIteratorOptions& options) {
    if (running_) throw EFileIteratorError("Cannot change options on fly. Try later");
    options_ = options;
}

void TFileIterator::SetRootFolder(const std::string& folder) {
    if (running_) throw EFileIteratorError("Cannot change options on fly. Try later");
    root_folder_ = folder;
}

void TFileIterator::Execute() {
    if (running_)
        throw EFileIteratorError(
            "Iterator is not available at the moment. Please call later, but do call");
    running_ = true;
    struct EndOfWalk {
        TFileIterator& walker;
        ~EndOfWalk() {
            // OnTerminate must not throw out of a destructor; a failing handler is ignored.
            try {
                if (walker.OnTerminate) walker.OnTerminate(walker);
            } catch (...) {
            }
            walker.running_ = false;
        }
    } end_of_walk{*this};
    files_.clear();
    unreadable_.clear();
    skipped_links_.clear();
    const std::unique_ptr<char, decltype(&std::free)> real_root(
        ::realpath(root_folder_.empty() ? "/" : root_folder_.c_str(), nullptr), &std::free);
    real_root_ = real_root ? real_root.get() : "";
    if (OnActivate) OnActivate(*this);
    std::vector<FolderId> open_folders;
    WalkFolder(root_folder_, 1, open_folders);
}

void TFileIterator::WalkFolder(std::string folder, int level, std::vector<FolderId>& open_folders) {
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    // A folder reached again through a link to one of the folders being walked would repeat
    // forever; it is walked only once on the way down.
    struct stat folder_stat {};
    if (::stat(folder.empty() ? "/" : folder.c_str(), &folder_stat) != 0) return;
    FolderId id{static_cast<std::uint64_t>(folder_stat.st_dev),
                static_cast<std::uint64_t>(folder_stat.st_ino)};
    if (std::find(open_folders.begin(), open_folders.end(), id) != open_folders.end()) return;
    open_folders.push_back(id);
    struct Leave {
        std::vector<FolderId>& folders;
        ~Leave() { folders.pop_back(); }
    } leave{open_folders};

    const auto entries = folder_entries(folder);
    if (!entries) {
        // Its files would be missed without a word: the caller reports the folder.
        unreadable_.push_back({folder, std::strerror(errno)});
        return;
    }
    for (const std::string& name : *entries) {
        std::string path = folder + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;  // a dangling link or an entry just removed
        std::string target;
        const bool skip = LinksOutOfRoot == OutsideLinks::Skip && LeadsOut(path, target);
        if (S_ISDIR(st.st_mode)) {
            if (name[0] != '.' && options_.has(TFileIteratorOption::fiRecurseFolders)) {
                if (skip)
                    skipped_links_.push_back({path, target, true});
                else
                    WalkFolder(path, level + 1, open_folders);
            }
            continue;
        }
        // Pipes, sockets and devices are not source files; opening a pipe would block the scan.
        if (!S_ISREG(st.st_mode)) continue;
        TFileInfo info;
        if (options_.has(TFileIteratorOption::fiDetails)) info = file_info(name, st, level);
        std::string file_name = options_.has(TFileIteratorOption::fiPath) ? path : name;
        if (!QueryAddFile(file_name, info)) continue;
        if (skip)
            skipped_links_.push_back({path, target, false});
        else
            AddFile(file_name, info);
    }
}

bool TFileIterator::LeadsOut(const std::string& path, std::string& target) const {
    struct stat link {};
    if (real_root_.empty() || ::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) return false;
    target = real.get();
    const bool inside = real_root_ == "/" || target == real_root_ ||
                        (starts_with(target, real_root_) && target[real_root_.size()] == '/');
    return !inside;
}

bool TFileIterator::QueryAddFile(const std::string& file_name, const TFileInfo& info) {
    bool can_add = MatchesAnyMask(file_name);
    if (can_add) can_add = !IsExcludedFolder(file_name);
    if (OnAddFileQuery) OnAddFileQuery(*this, file_name, info, can_add);
    return can_add;
}

void TFileIterator::AddFile(const std::string& file_name, const TFileInfo& info) {
    files_.push_back({file_name, info});
    if (OnAddFile) OnAddFile(*this, file_name, info);
}

bool TFileIterator::MatchesAnyMask(const std::string& name) const {
    std::string lowered = name;
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return std::any_of(Masks.begin(), Masks.end(),
                       [&](const std::string& mask) { return MatchesMask(lowered, mask); });
}

// Only the file's own folder counts: files in subfolders of an excluded folder are still taken.
// An entry typed without its final "/" names the same folder.
bool TFileIterator::IsExcludedFolder(const std::string& file_name) const {
    auto slash = file_name.rfind('/');
    std::string folder =
        slash == std::string::npos ? std::string() : file_name.substr(0, slash + 1);
    return std::any_of(ExcludedFolders.begin(), ExcludedFolders.end(), [&](std::string entry) {
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
    TFileIterator walker;
    walker.SetRootFolder(root);
    TFileIteratorOptions options = TFileIteratorOptions::all();
    if (!recursive) options.exclude(TFileIteratorOption::fiRecurseFolders);
    walker.SetOptions(options);
    walker.Masks = SplitMasks(mask_text);
    walker.ExcludedFolders = excluded;
    walker.LinksOutOfRoot = links;
    walker.Execute();
    std::vector<std::string> names;
    names.reserve(walker.Files().size());
    for (const auto& file : walker.Files()) names.push_back(file.file_name);
    if (unreadable) *unreadable = walker.UnreadableFolders();
    if (skipped_links) *skipped_links = walker.SkippedLinks();
    return names;
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
