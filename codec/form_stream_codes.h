#pragma once

#include <cstdint>
#include <vector>

#include "codec/form_stream_format.h"

namespace lexorin::codec {

// What the text form cannot show of a binary form: the prefix flags of each object and the type
// code of each value, in the order both conversions meet them (objects as their lines come,
// values as property values and list elements come). A small 64-bit integer, a wide string of
// plain letters, a UTF-8 string and an embedded frame that is inherited too read back from the
// text in other codes; handed to the way back, these records give each its own code again, so a
// form whose texts alone changed keeps every other byte.
struct FormStreamCodes {
    std::vector<std::uint8_t> object_flags;
    std::vector<ValueType> values;
};

}  // namespace lexorin::codec
