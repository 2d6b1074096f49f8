#pragma once

#include <stdexcept>
#include <string>

namespace lexorin {

// Every failure the user sees is an exception carrying the text to show: the command-line tool
// prints it on one line, the desktop program shows it in the error box.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failure raised by the table store; the text names the file and the engine's complaint.
class StoreError : public Error {
  public:
    using Error::Error;
};

}  // namespace lexorin
