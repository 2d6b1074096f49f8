#include "code/scan_space.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/segment_rules.h"

namespace lexorin::code {

namespace {

// The fields of a pascal row besides its texts (key, unit, flags, line numbers, record header),
// rounded up.
constexpr std::uintmax_t kRowFields = 64;

}  // namespace

NewLiterals CountNewLiterals(const std::string& unit_text) {
    NewLiterals found;
    for (const std::string_view line : read_text_line_views(unit_text)) {
        if (starts_with(trim_view(line), "//")) continue;  // a comment line, or a marker line
        std::uintmax_t literals = 0;
        for (size_t i = line.find('\''); i != std::string_view::npos; i = line.find('\'', i + 1)) {
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

namespace {

// What one unit adds to the needs; `read` false for a unit that cannot be read (the scan
// reports it).
struct UnitEstimate {
    bool read = false;
    std::uintmax_t text_bytes = 0;
    std::uintmax_t row_bytes = 0;
    std::uintmax_t changed_line_bytes = 0;
};

UnitEstimate EstimateUnit(const std::string& unit, int context_lines) {
    UnitEstimate estimate;
    std::string text;
    try {
        text = read_file(unit);
    } catch (const Error&) {
        return estimate;
    }
    const NewLiterals found = CountNewLiterals(text);
    estimate.read = true;
    estimate.text_bytes = text.size();
    estimate.row_bytes = EstimatedRowBytes(text, found, context_lines);
    estimate.changed_line_bytes = found.line_bytes;
    return estimate;
}

// Every unit read and counted, half of them on a second thread when one can be had: this is
// most of the check's time.
std::vector<UnitEstimate> EstimateUnits(const std::vector<std::string>& units, int context_lines) {
    std::vector<UnitEstimate> estimates(units.size());
    auto estimate_every = [&](size_t first, size_t step) {
        for (size_t i = first; i < units.size(); i += step)
            estimates[i] = EstimateUnit(units[i], context_lines);
    };
    std::jthread helper;
    if (units.size() > 1) {
        try {
            helper = std::jthread(estimate_every, 1, 2);
        } catch (const std::system_error&) {
        }
    }
    estimate_every(0, helper.joinable() ? 2 : 1);
    return estimates;  // the helper has joined
}

}  // namespace

void RequireSpaceForCodeScan(const std::vector<std::string>& units,
                             const std::string& program_directory, size_t languages,
                             int context_lines, store::Table& scanned,
                             std::vector<store::LanguageTable>& others) {
    DiskSpaceNeeds needs;
    std::uintmax_t rows = 0;
    const std::vector<UnitEstimate> estimates = EstimateUnits(units, context_lines);
    for (size_t i = 0; i < units.size(); ++i) {
        const UnitEstimate& estimate = estimates[i];
        if (!estimate.read || estimate.row_bytes == 0) continue;  // stays as it is
        rows += estimate.row_bytes;
        // A unit that changes is written anew beside itself before it replaces it, each
        // changed line with a marker line before it that repeats it: its size, and twice the
        // bytes of its changed lines, until the batch is put in place.
        std::string folder = directory_of(units[i]);
        if (folder.empty()) folder = ".";
        needs.Add(folder, estimate.text_bytes + 2 * estimate.changed_line_bytes,
                  "the rewritten units",
                  "each is written beside itself before it replaces it, a marker line before "
                  "every changed line");
    }
    needs.Add(
        program_directory, rows * languages,
        "the rows of " + std::to_string(languages) + (languages == 1 ? " language" : " languages"),
        "a row holds its literal twice, its context lines and its fields, a tenth to spare");
    store::AddLanguageTableNeeds(needs, program_directory, scanned, others);
    needs.Require("No unit was changed.");
}

}  // namespace lexorin::code
