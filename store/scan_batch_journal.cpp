#include "store/scan_batch_journal.h"

#include <cstdio>
#include <cstring>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "store/table_files.h"
#include "store/table_store.h"

namespace lexorin::store {

namespace {

constexpr const char* kHeader = "LEXORIN SCAN BATCH";

std::string batch_path(const std::string& program_directory, const std::string& project) {
    return join_path(program_directory, scan_batch_file_name(project));
}

// "<a>\t<b>" after the line's keyword and a blank.
std::pair<std::string, std::string> two_fields(const std::string& line, size_t keyword_length) {
    const std::string rest = line.substr(keyword_length + 1);
    const size_t tab = rest.find('\t');
    if (tab == std::string::npos) return {rest, ""};
    return {rest.substr(0, tab), rest.substr(tab + 1)};
}

}  // namespace

std::string scan_batch_file_name(const std::string& project) {
    return project + ".batch";
}

ScanBatchJournal::ScanBatchJournal(std::string program_directory, const std::string& project)
    : program_directory_(std::move(program_directory)),
      path_(batch_path(program_directory_, project)) {}

void ScanBatchJournal::Begin(std::vector<TableMark> marks) {
    marks_ = std::move(marks);
    Write("prepared", {});
    open_ = true;
}

void ScanBatchJournal::Commit(const std::vector<std::pair<std::string, std::string>>& renames) {
    Write("committed", renames);
}

void ScanBatchJournal::End() {
    if (std::remove(path_.c_str()) != 0 && file_exists(path_))
        throw Error("Cannot remove " + path_ + ": " + std::strerror(errno));
    sync_file_systems({program_directory_});
    open_ = false;
}

void ScanBatchJournal::Settle(bool tables_taken_back) noexcept {
    if (!open_) return;
    try {
        if (tables_taken_back) {
            End();
            return;
        }
    } catch (const std::exception&) {
    }
    Keep();
}

void ScanBatchJournal::Write(const std::string& state,
                             const std::vector<std::pair<std::string, std::string>>& renames) {
    std::string text = std::string(kHeader) + "\nstate " + state + "\n";
    for (const auto& mark : marks_)
        text += "table " + std::to_string(mark.last_number) + "\t" + mark.file_name + "\n";
    for (const auto& [temp, unit] : renames) text += "rename " + temp + "\t" + unit + "\n";
    write_file_atomically(path_, text);
}

bool RecoverScanBatch(Session& session, const std::string& program_directory,
                      const std::string& project) {
    const std::string path = batch_path(program_directory, project);
    if (!file_exists(path)) return false;
    const std::vector<std::string> lines = read_text_lines(read_file(path));
    if (lines.empty() || lines[0] != kHeader || lines.size() < 2 ||
        (lines[1] != "state prepared" && lines[1] != "state committed"))
        throw Error(path + " is not the journal of a scan batch; move it away to go on.");
    if (lines[1] == "state committed") {
        // Every row is on disk: the units still waiting are put in place.
        std::vector<std::string> units;
        for (const auto& line : lines) {
            if (!starts_with(line, "rename ")) continue;
            const auto [temp, unit] = two_fields(line, 6);
            if (file_exists(temp) && std::rename(temp.c_str(), unit.c_str()) != 0)
                throw Error("Cannot put " + unit + " in place: " + std::strerror(errno));
            units.push_back(unit);
        }
        sync_file_systems(units);
    } else {
        // The batch's rows go; its units were never touched.
        for (const auto& line : lines) {
            if (!starts_with(line, "table ")) continue;
            const auto [number, file_name] = two_fields(line, 5);
            if (find_file_no_case(program_directory, file_name).empty()) continue;
            std::int64_t last = 0;
            try {
                last = std::stoll(number);
            } catch (const std::exception&) {
                throw Error(path + " is not the journal of a scan batch; move it away to go on.");
            }
            Table table(session, program_directory, file_name);
            table.open();
            table.delete_rows_after(last);
        }
    }
    if (std::remove(path.c_str()) != 0)
        throw Error("Cannot remove " + path + ": " + std::strerror(errno));
    sync_file_systems({program_directory});
    return true;
}

}  // namespace lexorin::store
