// libFuzzer target for the binary form reader: any input must convert or fail with a filer
// error; when it converts, the text must read back to the same stream.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt), or by hand in one line:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o form_binary_fuzz
//     tests/fuzz/form_binary_fuzz.cpp
//     forms/{big_natural,byte_streams,extended80,form_binary_reader,form_binary_writer}.cpp
//     forms/{form_errors,form_parser,form_text_to_binary,form_text_writer,resource_header}.cpp
//     app/text_utils.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "forms/form_errors.h"
#include "forms/form_text_to_binary.h"
#include "forms/form_text_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = lexorin::forms::FormResourceToText(input);
    } catch (const lexorin::forms::EFilerError&) {
        return 0;
    }
    // Reading back must never crash; it may fail only for streams our writer would not make.
    try {
        lexorin::forms::FormTextToResource(text);
    } catch (const lexorin::forms::EParserError&) {
    }
    return 0;
}
