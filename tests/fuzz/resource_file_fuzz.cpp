// libFuzzer target for the resource file reader (translated forms, .tra.res): any input must be
// read or refused with lexorin::Error; a form stream read from it, written into a resource file of
// our own, must read back the same.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/errors.h"
#include "codec/resource_file.h"

namespace codec = lexorin::codec;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        codec::ReadResourceFile(input);
    } catch (const lexorin::Error&) {
        return 0;
    }
    std::string stream;
    try {
        stream = codec::FormStreamOfResourceFile(input);
    } catch (const lexorin::Error&) {
        return 0;
    }
    if (codec::FormStreamOfResourceFile(codec::FormResourceFile("TFORM", stream)) != stream)
        std::abort();
    return 0;
}
