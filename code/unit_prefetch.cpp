#include "code/unit_prefetch.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "base/file_utils.h"
#include "base/reporter.h"
#include "base/text_utils.h"

namespace lexorin::code {

namespace {

// Keeps the status texts of a rewrite, to be given to the scan's reporter on its own thread.
class StatusRecorder : public SilentReporter {
  public:
    explicit StatusRecorder(std::vector<std::string>& texts) : texts_(texts) {}
    void status(const std::string& text) override { texts_.push_back(text); }

  private:
    std::vector<std::string>& texts_;
};

// Numbers the strings of one unit from a given number on, as the table will.
class NumberingStore : public StringStore {
  public:
    NumberingStore(std::int64_t first_index,
                   std::vector<std::pair<std::int64_t, FoundString>>& rows)
        : next_index_(first_index), rows_(rows) {}
    std::int64_t Add(const FoundString& found) override {
        rows_.emplace_back(next_index_, found);
        return next_index_++;
    }

  private:
    std::int64_t next_index_;
    std::vector<std::pair<std::int64_t, FoundString>>& rows_;
};

}  // namespace

std::string ResolvedTarget(const std::string& path) {
    struct FreeDeleter {
        void operator()(char* p) const { std::free(p); }
    };
    std::unique_ptr<char, FreeDeleter> real(::realpath(path.c_str(), nullptr));
    return real ? std::string(real.get()) : path;
}

UnitPrefetch::UnitPrefetch(CodeScanOptions options, const RestoredLiterals& restored,
                           const std::vector<std::string>& paths, size_t depth)
    : options_(std::move(options)),
      restored_(&restored),
      paths_(&paths),
      depth_(depth < 1 ? 1 : depth) {}

UnitPrefetch::~UnitPrefetch() {
    Stop();
}

void UnitPrefetch::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    ready_.clear();
    stopping_ = false;
}

void UnitPrefetch::Restart(size_t from, std::int64_t first_index) {
    Stop();
    if (from >= paths_->size()) return;
    try {
        thread_ = std::thread([this, from, first_index] { Run(from, first_index); });
    } catch (const std::system_error&) {
        // No thread to be had: the scan reads every unit itself.
    }
}

std::unique_ptr<PreparedUnit> UnitPrefetch::Take(size_t index) {
    if (!running()) return nullptr;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !ready_.empty(); });
        auto [at, unit] = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        if (at == index) return std::move(unit);
        if (at > index) return nullptr;  // not asked for in order: the caller scans it itself
    }
}

void UnitPrefetch::Run(size_t from, std::int64_t first_index) {
    for (size_t i = from; i < paths_->size(); ++i) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || ready_.size() < depth_; });
            if (stopping_) return;
        }
        std::unique_ptr<PreparedUnit> unit = Prepare((*paths_)[i], first_index);
        first_index = unit->next_index();
        {
            std::lock_guard lock(mutex_);
            ready_.emplace_back(i, std::move(unit));
        }
        changed_.notify_all();
    }
}

std::unique_ptr<PreparedUnit> UnitPrefetch::Prepare(const std::string& path,
                                                    std::int64_t first_index) const {
    auto unit = std::make_unique<PreparedUnit>();
    unit->path = path;
    unit->first_index = first_index;
    try {
        unit->target = ResolvedTarget(path);
        // Only what the scan would read: a pipe or a device could block the thread for good.
        if (writable_file_problem(unit->target) != FileProblem::None) return unit;
        unit->text = ReadUnitText(path);
        unit->lines = read_text_line_views(unit->text);
        StatusRecorder recorder(unit->status_texts);
        const UnitScanner scanner(options_, *restored_, &recorder);
        NumberingStore strings(first_index, unit->rows);
        unit->rewrite = scanner.RewriteLines(path, unit->lines, strings);
        unit->usable = true;
    } catch (const std::exception&) {
        // The scan of the unit meets the same failure and reports it.
        unit->rows.clear();
        unit->usable = false;
    }
    return unit;
}

}  // namespace lexorin::code
