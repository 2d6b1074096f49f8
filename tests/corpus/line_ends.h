#pragma once

// Line ends as the unit rewriter writes them, for comparing a given-back unit with its original.

#include <string>

namespace lexorin::corpus {

// `text` read as lines ending at CR, LF or CR LF, each written back with CR LF.
std::string WithCrLf(const std::string& text);

// Where a unit that restore-code gave back differs from its original; empty when it is the
// original. A unit the scan rewrote comes back with CR LF line ends, one that got no reference
// was never written and keeps its bytes: the line end of the first line tells which to expect.
std::string GivenBackDifference(const std::string& original, const std::string& given_back);

}  // namespace lexorin::corpus
