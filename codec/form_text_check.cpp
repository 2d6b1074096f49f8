#include "codec/form_text_check.h"

#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/file_utils.h"
#include "codec/byte_streams.h"
#include "codec/form_text_to_binary.h"

namespace lexorin::codec {

void CheckFormTextFile(const std::string& text_path) {
    if (directory_exists(text_path))
        throw Error("Cannot open file " + text_path + ": it is a directory");
    std::ifstream in(text_path, std::ios::binary);
    if (!in) throw Error("Cannot open file " + text_path);
    DiscardSink sink;
    FormTextToBinary(in, sink);
}

void CheckFormText(std::string_view text) {
    std::istringstream in{std::string(text)};
    DiscardSink sink;
    FormTextToBinary(in, sink);
}

}  // namespace lexorin::codec
