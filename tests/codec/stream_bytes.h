#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Hand-assembled pieces of binary form streams, so that reader tests do not depend on our writer.
namespace lexorin::codec::bytes {

inline std::string Str(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}
inline std::string Le(std::uint32_t v, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}
inline std::string Int8(int v) {
    return "\x02" + Le(static_cast<std::uint32_t>(v), 1);
}
inline std::string Int16(int v) {
    return "\x03" + Le(static_cast<std::uint32_t>(v), 2);
}
inline std::string Int32(std::int32_t v) {
    return "\x04" + Le(static_cast<std::uint32_t>(v), 4);
}
inline std::string String(std::string_view s) {
    return "\x06" + Str(s);
}
inline std::string LString(std::string_view s) {
    return "\x0C" + Le(static_cast<std::uint32_t>(s.size()), 4) + std::string(s);
}
inline std::string Ident(std::string_view s) {
    return "\x07" + Str(s);
}
inline std::string Binary(std::string_view data) {
    return "\x0A" + Le(static_cast<std::uint32_t>(data.size()), 4) + std::string(data);
}
inline const std::string kEnd(1, '\0');

inline std::string Prop(std::string_view name, const std::string& value) {
    return Str(name) + value;
}

// An object: class name, object name, properties, end, children, end.
inline std::string Object(std::string_view cls, std::string_view name, const std::string& props,
                          const std::string& children = "", const std::string& prefix = "") {
    return prefix + Str(cls) + Str(name) + props + kEnd + children + kEnd;
}
inline std::string Form(const std::string& root) {
    return "TPF0" + root;
}

// A stream with one root TForm1 "Form1" holding the given properties.
inline std::string FormWith(const std::string& props) {
    return Form(Object("TForm1", "Form1", props));
}

}  // namespace lexorin::codec::bytes
