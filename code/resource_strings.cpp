#include "code/resource_strings.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace {

// Older Delphi compilers refuse a literal of more than 255 characters, so a longer text is
// written as literals of at most that many characters joined by "+", one per line; it stays one
// resource string. The stored text is Pascal source ('' for an apostrophe, '#13' between
// literals): a pair '' is never cut, and a literal counts from its own opening quote.
constexpr std::size_t kLongestLiteral = 255;

void AddResourceLines(std::vector<std::string>& out, std::int64_t index, const std::string& text,
                      std::int64_t spaces) {
    const std::string body =
        text + std::string(static_cast<size_t>(std::max<std::int64_t>(0, spaces)), ' ');
    std::string line = "  s_" + std::to_string(index) + " = '";
    bool quoted = true;
    std::size_t length = 0;  // source characters of the literal being written
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (!quoted) {
            line += c;
            if (c == '\'') {
                quoted = true;
                length = 0;
            }
            continue;
        }
        const bool pair = c == '\'' && i + 1 < body.size() && body[i + 1] == '\'';
        if (c == '\'' && !pair) {
            line += c;
            quoted = false;
            continue;
        }
        const std::size_t width = pair ? 2 : 1;
        if (length + width > kLongestLiteral) {
            out.push_back(line + "' +");
            line = "    '";
            length = 0;
        }
        line.append(body, i, width);
        length += width;
        i += width - 1;
    }
    out.push_back(line + "';");
}

}  // namespace

ResourceStringLines BuildResourceStringLines(store::Session& session, const store::Table& pascal,
                                             Reporter* reporter) {
    store::Table rows(session, pascal.directory(), pascal.table_name());
    rows.open();
    ResourceStringLines lines;
    lines.original.push_back("resourcestring");
    lines.translation.push_back("resourcestring");
    for (rows.first(); !rows.eof(); rows.next()) {
        const std::int64_t index = rows.integer(store::field::Index);
        const std::int64_t spaces = rows.integer(store::field::SpacesAtEnd);
        const std::string original = rows.text(store::field::OriginalString);
        const std::string translation = rows.text(store::field::TranslateString);
        AddResourceLines(lines.translation, index, translation.empty() ? original : translation,
                         spaces);
        AddResourceLines(lines.original, index, original, spaces);
        if (reporter) reporter->process_events();
    }
    return lines;
}

std::string ProjectDirectoryForFiles(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + "/";
}

void WriteResourceStringFiles(store::Session& session, const store::Table& pascal,
                              const std::string& project_directory, Reporter* reporter) {
    const ResourceStringLines lines = BuildResourceStringLines(session, pascal, reporter);
    const std::string folder = ProjectDirectoryForFiles(project_directory);
    write_file_atomically(folder + kStringsTranslation, join_text_lines(lines.translation));
    write_file_atomically(folder + kStringsOriginal, join_text_lines(lines.original));
}

void CopyGlueFiles(const std::string& program_directory, const std::string& project_directory) {
    const std::string from = ProjectDirectoryForFiles(program_directory);
    const std::string to = ProjectDirectoryForFiles(project_directory);
    for (const char* name : {kGlueInclude, kGlueUnit})
        write_file_atomically(to + name, read_file(from + name));
}

std::string CodeWrittenMessage(const std::string& project_directory) {
    return "Code written successfully.\r\rThe files lx_lang.pas and lx_lang.inc are now copied "
           "to " +
           project_directory +
           ".\r\rIn order to compile the translated form, make sure that lx_lang.inc contains  the "
           "string \"{$define translatedform}\".";
}

}  // namespace lexorin::code
