// libFuzzer target for the binary form reader: any input must convert or fail with a filer
// error; when it converts, reading the text back must not crash, and with the value codes
// recorded on the way to the text the second round must be stable: the stream our writer makes
// from the text gives that very text and stream again.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt), or by hand in one line:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o form_binary_fuzz
//     tests/fuzz/form_binary_fuzz.cpp
//     forms/{big_natural,byte_streams,extended80,form_binary_reader,form_binary_writer}.cpp
//     forms/{form_errors,form_parser,form_text_to_binary,form_text_writer,resource_header}.cpp
//     forms/form_value_text.cpp
//     app/text_utils.cpp
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "forms/form_errors.h"
#include "forms/form_text_to_binary.h"
#include "forms/form_text_writer.h"

namespace forms = lexorin::forms;

namespace {

std::string ToText(const std::string& resource, forms::FormStreamCodes& codes) {
    std::istringstream in(resource);
    std::string text;
    forms::StringSink sink(text);
    forms::FormResourceToText(in, sink, &codes);
    return text;
}

std::string ToResource(const std::string& text, const forms::FormStreamCodes& codes) {
    std::istringstream in(text);
    std::string resource;
    forms::StringSink sink(resource);
    forms::FormTextToResource(in, sink, &codes);
    return resource;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string text;
    forms::FormStreamCodes codes;
    try {
        text = ToText(input, codes);
    } catch (const forms::EFilerError&) {
        return 0;
    }
    // Reading back must never crash; it may fail only for streams our writer would not make.
    try {
        forms::FormTextToResource(text);
    } catch (const forms::EParserError&) {
    }
    std::string again;
    try {
        again = ToResource(text, codes);
    } catch (const forms::EParserError&) {
        return 0;
    }
    // A stream of our writer: its text and the codes recorded from it give it back.
    forms::FormStreamCodes codes_again;
    std::string text_again = ToText(again, codes_again);
    if (ToResource(text_again, codes_again) != again) std::abort();
    return 0;
}
