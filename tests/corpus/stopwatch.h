#pragma once

// Wall-clock figures that the real-code tests print beside their results.

#include <chrono>
#include <sstream>
#include <string>

namespace lexorin::corpus {

class Stopwatch {
  public:
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// "12.3 s".
inline std::string Seconds(double seconds) {
    std::ostringstream text;
    text.precision(1);
    text << std::fixed << seconds << " s";
    return text.str();
}

}  // namespace lexorin::corpus
