// libFuzzer target for the binary form reader: any input must convert or fail with a filer
// error; when it converts, reading the text back must not crash, and with the value codes
// recorded on the way to the text the second round must be stable: the stream our writer makes
// from the text gives that very text and stream again.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt), or by hand in one line:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o form_binary_fuzz
//     tests/fuzz/form_binary_fuzz.cpp
//     codec/{big_natural,byte_streams,extended80,form_binary_reader,form_binary_writer}.cpp
//     codec/{form_errors,form_parser,form_text_to_binary,form_text_writer,resource_header}.cpp
//     codec/form_value_text.cpp
//     base/{code_page,text_utils}.cpp
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"

namespace codec = lexorin::codec;

namespace {

std::string ToText(const std::string& resource, codec::FormStreamCodes& codes) {
    std::istringstream in(resource);
    std::string text;
    codec::StringSink sink(text);
    codec::FormResourceToText(in, sink, &codes);
    return text;
}

std::string ToResource(const std::string& text, const codec::FormStreamCodes& codes) {
    std::istringstream in(text);
    std::string resource;
    codec::StringSink sink(resource);
    codec::FormTextToResource(in, sink, &codes);
    return resource;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string text;
    codec::FormStreamCodes codes;
    try {
        text = ToText(input, codes);
    } catch (const codec::EFilerError&) {
        return 0;
    }
    // Reading back must never crash; it may fail only for streams our writer would not make.
    try {
        codec::FormTextToResource(text);
    } catch (const codec::EParserError&) {
    }
    std::string again;
    try {
        again = ToResource(text, codes);
    } catch (const codec::EParserError&) {
        return 0;
    }
    // A stream of our writer: its text and the codes recorded from it give it back.
    codec::FormStreamCodes codes_again;
    std::string text_again = ToText(again, codes_again);
    if (ToResource(text_again, codes_again) != again) std::abort();
    return 0;
}
