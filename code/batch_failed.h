#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/errors.h"

namespace lexorin::code {

// A batch of rewritten units that could not be committed (a full disk, most likely, while
// writing its rows, the restore journal or the units' new texts). Its units stay as they were
// and the rows it wrote are taken back in every language; the scan goes no further, as the next
// batch would meet the same disk.
class BatchFailed : public Error {
  public:
    BatchFailed(const std::string& reason, std::vector<std::string> units, bool rows_taken_back)
        : Error(Describe(reason, units.size(), rows_taken_back)),
          units_(std::move(units)),
          rows_taken_back_(rows_taken_back) {}

    // The units of the batch, each left as it was.
    const std::vector<std::string>& units() const { return units_; }
    // False when a table could not be taken back at once (the disk still full): the batch's
    // journal stays, and the next command on the project takes the rows back.
    bool rows_taken_back() const { return rows_taken_back_; }

  private:
    static std::string Describe(const std::string& reason, size_t units, bool rows_taken_back) {
        return reason + "; the scan stopped and left the " + std::to_string(units) +
               (units == 1 ? " unit" : " units") + " of its last batch as they were, " +
               (rows_taken_back ? "their rows taken back in every language"
                                : "their rows to be taken back by the next command on the "
                                  "project");
    }

    std::vector<std::string> units_;
    bool rows_taken_back_ = true;
};

}  // namespace lexorin::code
