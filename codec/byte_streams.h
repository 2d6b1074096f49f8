#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace lexorin::codec {

// Where converted bytes go: a string in memory, a file being written, ...
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
};

class StringSink : public ByteSink {
  public:
    explicit StringSink(std::string& target) : target_(target) {}
    void write(std::string_view bytes) override { target_.append(bytes); }

  private:
    std::string& target_;
};

// Keeps nothing: for a conversion run only to check its input or to record its codes.
class DiscardSink : public ByteSink {
  public:
    void write(std::string_view) override {}
};

// Reads an input stream through one 4096-byte buffer. Reading past the end raises EReadError
// "Stream-Read-Fehler", as does a failing stream.
class BufferedInput {
  public:
    explicit BufferedInput(std::istream& in) : in_(in) {}
    BufferedInput(const BufferedInput&) = delete;
    BufferedInput& operator=(const BufferedInput&) = delete;

    bool at_end() { return pos_ == end_ && !fill(); }
    std::uint8_t peek() {
        if (pos_ == end_ && !fill()) fail_at_end();
        return static_cast<std::uint8_t>(buffer_[pos_]);
    }
    std::uint8_t get() {
        std::uint8_t byte = peek();
        ++pos_;
        return byte;
    }
    void read(char* dest, std::size_t count);
    // Up to `count` bytes; gives how many were read, 0 only at the end.
    std::size_t read_some(char* dest, std::size_t count);
    void skip(std::size_t count);

  private:
    bool fill();
    [[noreturn]] static void fail_at_end();

    std::istream& in_;
    std::array<char, 4096> buffer_{};
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
};

// Collects output in one 4096-byte buffer and hands it to the sink when full. flush() must be
// called at the end; the destructor does not flush, so output of a conversion that failed
// half-way is not pushed on.
class BufferedOutput {
  public:
    explicit BufferedOutput(ByteSink& sink) : sink_(sink) {}
    BufferedOutput(const BufferedOutput&) = delete;
    BufferedOutput& operator=(const BufferedOutput&) = delete;

    void put(char c) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = c;
    }
    void write(std::string_view bytes);
    void flush();

  private:
    ByteSink& sink_;
    std::array<char, 4096> buffer_{};
    std::size_t used_ = 0;
};

}  // namespace lexorin::codec
