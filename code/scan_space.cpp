#include "code/scan_space.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/segment_rules.h"

namespace lexorin::code {

namespace {

// The fields of a pascal row besides its texts (key, unit, flags, line numbers, record header),
// rounded up.
constexpr std::uintmax_t kRowFields = 64;
// Room for the journals besides the pages they keep: the batch journal (two paths for each of
// up to 200 units, written beside itself before it replaces itself) and the first pages of the
// tables' rollback journals.
constexpr std::uintmax_t kJournals = 128 * 1024;

std::string Kilobytes(std::uintmax_t bytes) {
    return std::to_string((bytes + 1023) / 1024) + " KB";
}

std::uintmax_t FileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// A table's bytes per row, from its file.
std::uintmax_t BytesPerRow(store::Table& table) {
    const int rows = table.record_count();
    return rows > 0 ? FileSize(table.path()) / static_cast<std::uintmax_t>(rows) : 0;
}

}  // namespace

// The rows the other languages lack, at the scanned table's bytes per row; the rollback
// journals, which hold the pages a commit changes in the tables as they stand: at most about a
// quarter of a table (its index on the text, measured at an eighth, and the last pages of the
// rows).
void AddLanguageTableNeeds(DiskSpaceNeeds& needs, const std::string& program_directory,
                           store::Table& scanned, std::vector<store::LanguageTable>& others) {
    const std::uintmax_t per_row = BytesPerRow(scanned);
    std::uintmax_t missing = 0;
    std::uintmax_t tables = FileSize(scanned.path());
    for (auto& other : others) {
        const int lacking = scanned.record_count() - other.table->record_count();
        if (lacking > 0) missing += static_cast<std::uintmax_t>(lacking) * per_row;
        tables += FileSize(other.table->path());
    }
    if (missing > 0)
        needs.Add(program_directory, missing, "the rows the other languages lack",
                  "copied to them first");
    needs.Add(program_directory, tables / 4 + kJournals, "the journals of the tables",
              "a journal keeps up to a quarter of its table as it stands");
}

void DiskSpaceNeeds::Add(std::string folder, std::uintmax_t bytes, const std::string& what,
                         const std::string& why) {
    if (bytes == 0) return;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    needs_.push_back({std::move(folder), bytes, what, why});
}

void DiskSpaceNeeds::Require(const std::string& nothing_changed) const {
    // The needs of each disk, the same need of several folders counted once, in their order.
    struct Disk {
        std::string folder;
        std::vector<Need> needs;
        std::uintmax_t bytes = 0;
    };
    std::vector<std::pair<dev_t, Disk>> disks;
    for (const auto& need : needs_) {
        struct stat status {};
        if (::stat(need.folder.c_str(), &status) != 0) continue;
        auto disk = std::find_if(disks.begin(), disks.end(),
                                 [&](const auto& known) { return known.first == status.st_dev; });
        if (disk == disks.end())
            disk = disks.insert(disks.end(), {status.st_dev, Disk{need.folder, {}, 0}});
        disk->second.bytes += need.bytes;
        auto same = std::find_if(disk->second.needs.begin(), disk->second.needs.end(),
                                 [&](const Need& known) { return known.what == need.what; });
        if (same == disk->second.needs.end())
            disk->second.needs.push_back(need);
        else
            same->bytes += need.bytes;
    }
    for (const auto& [device, disk] : disks) {
        struct statvfs space {};
        if (::statvfs(disk.folder.c_str(), &space) != 0) continue;
        const std::uintmax_t free_bytes = static_cast<std::uintmax_t>(space.f_bavail) *
                                          static_cast<std::uintmax_t>(space.f_frsize);
        if (free_bytes >= disk.bytes) continue;
        // "the rows need about 300 KB and the journals about 100 KB (why; why)"
        std::string needs, reasons;
        for (size_t i = 0; i < disk.needs.size(); ++i) {
            const Need& need = disk.needs[i];
            needs += (i == 0                       ? ""
                      : i + 1 == disk.needs.size() ? " and "
                                                   : ", ") +
                     need.what + (i == 0 ? " need about " : " about ") + Kilobytes(need.bytes);
            if (!need.why.empty()) reasons += (reasons.empty() ? "" : "; ") + need.why;
        }
        throw Error("Not enough space on the disk of " + disk.folder + ": " + needs +
                    (reasons.empty() ? "" : " (" + reasons + ")") + ", " + Kilobytes(free_bytes) +
                    " are free. " + nothing_changed);
    }
}

NewLiterals CountNewLiterals(const std::string& unit_text) {
    NewLiterals found;
    for (const auto& line : read_text_lines(unit_text)) {
        if (starts_with(trim(line), "//")) continue;  // a comment line, or a marker line
        std::uintmax_t literals = 0;
        for (size_t i = line.find('\''); i != std::string::npos; i = line.find('\'', i + 1)) {
            // The literal runs to the next apostrophe that is not doubled.
            size_t end = i + 1;
            while (end < line.size() &&
                   (line[end] != '\'' || (end + 1 < line.size() && line[end + 1] == '\''))) {
                end += line[end] == '\'' ? 2 : 1;
            }
            // An empty literal, and each end of a rewritten reference ''+s_N+'', adds no row.
            if (end > i + 1) {
                ++literals;
                found.literal_bytes += end - i - 1;
            }
            i = std::min(end, line.size() - 1);
        }
        if (literals == 0) continue;
        found.literals += literals;
        found.line_bytes += line.size();
    }
    return found;
}

// A row holds its literal, the lines around it as its context (taken at the unit's average
// line length) and its fields; the table's index on the text holds the literal again. Measured
// on units of one literal a line, the estimate comes within a few bytes a row of the table
// file; a tenth more leaves room for pages the table leaves part empty.
std::uintmax_t EstimatedRowBytes(const std::string& unit_text, int context_lines) {
    return EstimatedRowBytes(unit_text, CountNewLiterals(unit_text), context_lines);
}

std::uintmax_t EstimatedRowBytes(const std::string& unit_text, const NewLiterals& found,
                                 int context_lines) {
    if (found.literals == 0) return 0;
    const std::uintmax_t lines =
        std::max<std::uintmax_t>(1, std::count(unit_text.begin(), unit_text.end(), '\n'));
    // The scanner cuts each context line to kContextLineLimit bytes (and marks the cut), so a
    // unit of a few very long lines costs no more per literal than that.
    const std::uintmax_t average =
        std::min<std::uintmax_t>(unit_text.size() / lines, kContextLineLimit + 3);
    const std::uintmax_t context = static_cast<std::uintmax_t>(std::max(context_lines, 1));
    const std::uintmax_t bytes =
        found.literals * (context * average + kRowFields) + 2 * found.literal_bytes;
    return bytes + bytes / 10;
}

void RequireSpaceForCodeScan(const std::vector<std::string>& units,
                             const std::string& program_directory, size_t languages,
                             int context_lines, store::Table& scanned,
                             std::vector<store::LanguageTable>& others) {
    DiskSpaceNeeds needs;
    std::uintmax_t rows = 0;
    for (const auto& unit : units) {
        std::string text;
        try {
            text = read_file(unit);
        } catch (const Error&) {
            continue;  // the scan reports it
        }
        const NewLiterals found = CountNewLiterals(text);
        const std::uintmax_t unit_rows = EstimatedRowBytes(text, found, context_lines);
        if (unit_rows == 0) continue;  // stays as it is
        rows += unit_rows;
        // A unit that changes is written anew beside itself before it replaces it, each
        // changed line with a marker line before it that repeats it: its size, and twice the
        // bytes of its changed lines, until the batch is put in place.
        std::string folder = directory_of(unit);
        if (folder.empty()) folder = ".";
        needs.Add(folder, text.size() + 2 * found.line_bytes, "the rewritten units",
                  "each is written beside itself before it replaces it, a marker line before "
                  "every changed line");
    }
    needs.Add(
        program_directory, rows * languages,
        "the rows of " + std::to_string(languages) + (languages == 1 ? " language" : " languages"),
        "a row holds its literal twice, its context lines and its fields, a tenth to spare");
    AddLanguageTableNeeds(needs, program_directory, scanned, others);
    needs.Require("No unit was changed.");
}

}  // namespace lexorin::code
