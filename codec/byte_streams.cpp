#include "codec/byte_streams.h"

#include <cstring>

#include "codec/form_errors.h"

namespace lexorin::codec {

bool BufferedInput::fill() {
    pos_ = 0;
    end_ = 0;
    if (!in_.good()) {
        if (in_.bad()) fail_at_end();
        return false;
    }
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (in_.bad()) fail_at_end();
    end_ = static_cast<std::size_t>(in_.gcount());
    return end_ > 0;
}

void BufferedInput::fail_at_end() {
    throw EReadError(messages::kStreamReadError);
}

void BufferedInput::read(char* dest, std::size_t count) {
    while (count > 0) {
        std::size_t got = read_some(dest, count);
        if (got == 0) fail_at_end();
        dest += got;
        count -= got;
    }
}

std::size_t BufferedInput::read_some(char* dest, std::size_t count) {
    if (pos_ == end_ && !fill()) return 0;
    std::size_t take = std::min(count, end_ - pos_);
    std::memcpy(dest, buffer_.data() + pos_, take);
    pos_ += take;
    return take;
}

void BufferedInput::skip(std::size_t count) {
    while (count > 0) {
        if (pos_ == end_ && !fill()) fail_at_end();
        std::size_t take = std::min(count, end_ - pos_);
        pos_ += take;
        count -= take;
    }
}

void BufferedOutput::write(std::string_view bytes) {
    if (bytes.size() > buffer_.size() - used_) {
        flush();
        if (bytes.size() >= buffer_.size()) {
            sink_.write(bytes);
            return;
        }
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void BufferedOutput::flush() {
    if (used_ == 0) return;
    sink_.write(std::string_view(buffer_.data(), used_));
    used_ = 0;
}

}  // namespace lexorin::codec
