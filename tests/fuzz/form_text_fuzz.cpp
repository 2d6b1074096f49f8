// libFuzzer target for the form text parser: any input must convert or fail with a parser
// error; when it converts, binary -> text -> binary must give the same bytes.
// The corpus's long_line.txt has lines longer than the parser's 4096-byte buffer, so that the
// inputs grow past it and tokens straddle its refills.
// Built with -DLEXORIN_BUILD_FUZZ=ON (see tests/fuzz/CMakeLists.txt), or by hand in one line:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o form_text_fuzz
//     tests/fuzz/form_text_fuzz.cpp
//     codec/{big_natural,byte_streams,extended80,form_binary_reader,form_binary_writer}.cpp
//     codec/{form_errors,form_parser,form_text_to_binary,form_text_writer,resource_header}.cpp
//     codec/form_value_text.cpp
//     base/{code_page,text_utils}.cpp
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string binary;
    try {
        binary = lexorin::codec::FormTextToBinary(input);
    } catch (const lexorin::codec::EParserError&) {
        return 0;
    }
    std::string text = lexorin::codec::FormBinaryToText(binary);
    std::string again = lexorin::codec::FormTextToBinary(text);
    // Texts can hold values the binary form normalises (a "[0]" position, an "item [-1]" order,
    // a "1.0E0" float), so compare the second round, which must be stable.
    if (lexorin::codec::FormTextToBinary(lexorin::codec::FormBinaryToText(again)) != again)
        std::abort();
    return 0;
}
