// libFuzzer target for the form text parser: any input must convert or fail with a parser
// error; when it converts, binary -> text -> binary must give the same bytes.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt), or by hand in one line:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o form_text_fuzz
//     tests/fuzz/form_text_fuzz.cpp
//     forms/{big_natural,byte_streams,extended80,form_binary_reader,form_binary_writer}.cpp
//     forms/{form_errors,form_parser,form_text_to_binary,form_text_writer,resource_header}.cpp
//     forms/form_value_text.cpp
//     app/text_utils.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "forms/form_errors.h"
#include "forms/form_text_to_binary.h"
#include "forms/form_text_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string binary;
    try {
        binary = lexorin::forms::FormTextToBinary(input);
    } catch (const lexorin::forms::EParserError&) {
        return 0;
    }
    std::string text = lexorin::forms::FormBinaryToText(binary);
    std::string again = lexorin::forms::FormTextToBinary(text);
    // Texts can hold values the binary form normalises (a "[0]" position, an "item [-1]" order,
    // a "1.0E0" float), so compare the second round, which must be stable.
    if (lexorin::forms::FormTextToBinary(lexorin::forms::FormBinaryToText(again)) != again)
        std::abort();
    return 0;
}
