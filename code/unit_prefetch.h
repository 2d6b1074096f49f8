#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "code/code_scan_options.h"
#include "code/restored_literals.h"
#include "code/string_store.h"
#include "code/unit_scanner.h"

// A code scan's units read and rewritten in memory ahead of the unit at hand, on a thread of its
// own: the scan of the next units overlaps the rows and files of this one. The rewrite of a unit
// needs the numbers its strings will get in the table; a scan numbers them one after the other,
// so the thread numbers them on from where the table will stand, and UnitBatch takes a prepared
// unit only when its numbering is the table's (else it scans the unit itself, as without this).
namespace lexorin::code {

// One unit as the thread left it. It refers to itself (the lines are views of the text, the
// rewrite of the lines), so it is handed over by pointer, never moved.
struct PreparedUnit {
    std::string path;
    std::string target;   // where the unit lies, links followed
    bool usable = false;  // read and rewritten; else its scan finds the reason itself
    std::string text;     // the unit's bytes
    std::vector<std::string_view> lines;
    RewrittenUnit rewrite;
    // The strings found, each with the number it was given: from first_index on.
    std::int64_t first_index = 0;
    std::vector<std::pair<std::int64_t, FoundString>> rows;
    // The status texts of the rewrite, given to the reporter when the unit is taken.
    std::vector<std::string> status_texts;

    std::int64_t next_index() const { return first_index + static_cast<std::int64_t>(rows.size()); }
};

// Where a unit lies: a unit reached through a symbolic link is rewritten where it lies, so the
// link stays a link. The path itself when it cannot be resolved.
std::string ResolvedTarget(const std::string& path);

class UnitPrefetch {
  public:
    // `options` and `restored` as the scan's UnitScanner has them; `restored` and `paths` must
    // outlive the prefetch. It starts with Restart.
    UnitPrefetch(CodeScanOptions options, const RestoredLiterals& restored,
                 const std::vector<std::string>& paths, size_t depth = 8);
    ~UnitPrefetch();  // stops the thread
    UnitPrefetch(const UnitPrefetch&) = delete;
    UnitPrefetch& operator=(const UnitPrefetch&) = delete;

    // Prepares the units from `from` on, their strings numbered from `first_index`; what was
    // prepared before is dropped.
    void Restart(size_t from, std::int64_t first_index);
    bool running() const { return thread_.joinable(); }
    // The unit `index` as prepared; nullptr when the prefetch does not run or is not there.
    // Waits for it.
    std::unique_ptr<PreparedUnit> Take(size_t index);

  private:
    void Stop();
    void Run(size_t from, std::int64_t first_index);
    std::unique_ptr<PreparedUnit> Prepare(const std::string& path, std::int64_t first_index) const;

    CodeScanOptions options_;
    const RestoredLiterals* restored_;
    const std::vector<std::string>* paths_;
    size_t depth_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<size_t, std::unique_ptr<PreparedUnit>>> ready_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace lexorin::code
