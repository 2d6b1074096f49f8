#include "code/compiler_messages.h"

#include <regex>

#include "base/text_utils.h"

namespace lexorin::code {

std::vector<CompilerMessage> ParseCompilerMessages(const std::string& output) {
    // file(line[,column]) Error: ... / Fatal: ...
    static const std::regex free_pascal(R"(^(.+?)\((\d+)(?:,\d+)?\)\s+(?:Error|Fatal):.*$)");
    // [dcc32 Error] file(line): E2010 ... / [dcc64 Fatal Error] file(line): F1026 ...
    static const std::regex delphi(R"(^\[\w+ (?:Fatal )?(?:Error|Fatal)\]\s+(.+?)\((\d+)\):.*$)");
    std::vector<CompilerMessage> messages;
    for (const std::string& raw : read_text_lines(output)) {
        const std::string line = trim(raw);
        std::smatch match;
        if (!std::regex_match(line, match, free_pascal) && !std::regex_match(line, match, delphi))
            continue;
        const std::string number = match[2].str();
        if (number.size() > 9) continue;
        messages.push_back({match[1].str(), std::stoi(number), line});
    }
    return messages;
}

}  // namespace lexorin::code
