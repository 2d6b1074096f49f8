#include "codec/resource_header.h"

#include "base/text_utils.h"

namespace lexorin::codec {

std::string MakeResourceHeader(std::string_view class_name, std::uint32_t stream_size) {
    constexpr std::size_t kMaxName = 70;
    std::string header = "\xFF\x0A";
    header += '\0';
    header += upper_case(class_name.substr(0, kMaxName));
    header += '\0';
    header += "\x30\x10";
    for (int i = 0; i < 4; ++i) header += static_cast<char>(stream_size >> (8 * i));
    return header;
}

}  // namespace lexorin::codec
