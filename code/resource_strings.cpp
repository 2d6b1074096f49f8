#include "code/resource_strings.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/literal_text.h"
#include "base/text_utils.h"
#include "store/string_tables.h"
#include "store/table_store.h"
#include "store/translation_fields.h"

namespace lexorin::code {

namespace {

// Older Delphi compilers refuse a literal of more than 255 characters, so a longer text is
// written as literals of at most that many characters joined by "+", one per line; it stays one
// resource string. The text is Pascal source ('' for an apostrophe, '#13' between literals): a
// pair '' is never cut, a literal counts from its own opening quote, and in UTF-8 text a
// character's bytes stay together.
constexpr std::size_t kLongestLiteral = 255;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void AddResourceLines(std::vector<std::string>& out, std::int64_t index, const std::string& body,
                      bool utf8) {
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
        std::size_t bytes = pair ? 2 : 1;
        if (utf8)
            while (i + bytes < body.size() && IsContinuationByte(body[i + bytes])) ++bytes;
        const std::size_t width = pair ? 2 : 1;
        if (length + width > kLongestLiteral) {
            out.push_back(line + "' +");
            line = "    '";
            length = 0;
        }
        line.append(body, i, bytes);
        length += width;
        i += bytes - 1;
    }
    out.push_back(line + "';");
}

// What the files take from one pascal row.
struct PascalText {
    std::int64_t index = 0;
    std::int64_t spaces = 0;
    std::string original;
    std::string translation;
};

// Every row of the table in Index order, read one field at a time: a pass over the file per
// field, where a walk row by row would ask the file once per row.
std::vector<PascalText> ReadRowsInIndexOrder(store::Table& rows) {
    std::vector<PascalText> texts;
    std::unordered_map<std::int64_t, std::size_t> positions;  // by the row's engine identity
    rows.scan_field(store::field::Index, [&](std::int64_t row_id, const std::string& text) {
        positions.emplace(row_id, texts.size());
        texts.push_back({std::stoll(text), 0, {}, {}});
    });
    auto read = [&](const char* field, auto take) {
        rows.scan_field(field, [&](std::int64_t row_id, const std::string& text) {
            if (const auto at = positions.find(row_id); at != positions.end())
                take(texts[at->second], text);
        });
    };
    read(store::field::SpacesAtEnd,
         [](PascalText& row, const std::string& text) { row.spaces = std::stoll(text); });
    read(store::field::OriginalString,
         [](PascalText& row, const std::string& text) { row.original = text; });
    read(store::field::TranslateString,
         [](PascalText& row, const std::string& text) { row.translation = text; });
    // The file gives its rows in the order they were stored, which is Index order but for
    // rows copied in with their own numbers.
    auto by_index = [](const PascalText& a, const PascalText& b) { return a.index < b.index; };
    if (!std::is_sorted(texts.begin(), texts.end(), by_index))
        std::sort(texts.begin(), texts.end(), by_index);
    return texts;
}

// The body of one resource string: the stored text made one Pascal literal (a translation an
// older version kept as typed gets its apostrophes doubled), with the blanks the store drops.
std::string ResourceBody(const std::string& stored, std::int64_t spaces) {
    return WritableLiteralBody(stored) +
           std::string(static_cast<size_t>(std::max<std::int64_t>(0, spaces)), ' ');
}

}  // namespace

std::string ResourceStringSection(std::size_t rows) {
    return rows > kMostResourceStrings ? "const" : "resourcestring";
}

ResourceStringLines BuildResourceStringLines(const store::PascalRows& pascal,
                                             const CodePage& code_page, Reporter* reporter) {
    store::Table rows(pascal.table().session(), pascal.directory(), pascal.file_name());
    rows.open();
    const std::vector<PascalText> texts = ReadRowsInIndexOrder(rows);
    const std::string section = ResourceStringSection(texts.size());
    ResourceStringLines lines;
    lines.original.reserve(texts.size() + 1);
    lines.translation.reserve(texts.size() + 1);
    lines.original.push_back(section);
    lines.translation.push_back(section);
    for (const PascalText& row : texts) {
        const std::int64_t index = row.index;
        const std::int64_t spaces = row.spaces;
        const std::string& original = row.original;
        const std::string& translation = row.translation;
        const std::string translated_body =
            ResourceBody(translation.empty() ? original : translation, spaces);
        std::string utf8_body;
        try {
            utf8_body = code_page.to_utf8(translated_body);
        } catch (const Error& e) {
            throw Error("Nothing was written: the " +
                        std::string(translation.empty() ? "original" : "translation") + " of s_" +
                        std::to_string(index) + " cannot be written as UTF-8. " + e.what());
        }
        AddResourceLines(lines.translation, index, utf8_body, true);
        AddResourceLines(lines.original, index, ResourceBody(original, spaces), false);
        if (reporter) reporter->still_working();
    }
    return lines;
}

std::string ProjectDirectoryForFiles(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + "/";
}

void WriteResourceStringFiles(const store::PascalRows& pascal, const std::string& project_directory,
                              const CodePage& code_page, Reporter* reporter) {
    const ResourceStringLines lines = BuildResourceStringLines(pascal, code_page, reporter);
    const std::string folder = ProjectDirectoryForFiles(project_directory);
    write_file_atomically(folder + kStringsTranslation,
                          std::string(kUtf8ByteOrderMark) + join_text_lines(lines.translation));
    write_file_atomically(folder + kStringsOriginal, join_text_lines(lines.original));
}

std::vector<std::string> ActiveDefines(std::string_view include_text) {
    std::vector<std::string> names;
    const std::string upper = upper_case(include_text);
    for (size_t at = upper.find("{$DEFINE"); at != std::string::npos;
         at = upper.find("{$DEFINE", at + 1)) {
        size_t pos = at + 8;
        if (pos >= upper.size() || static_cast<unsigned char>(upper[pos]) > 32) continue;
        while (pos < upper.size() && static_cast<unsigned char>(upper[pos]) <= 32) ++pos;
        const size_t name = pos;
        while (pos < upper.size() &&
               (std::isalnum(static_cast<unsigned char>(upper[pos])) || upper[pos] == '_'))
            ++pos;
        const size_t name_end = pos;
        while (pos < upper.size() && static_cast<unsigned char>(upper[pos]) <= 32) ++pos;
        if (name_end > name && pos < upper.size() && upper[pos] == '}')
            names.emplace_back(include_text.substr(name, name_end - name));
    }
    return names;
}

std::string IncludeWithDefines(std::string include_text, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        const std::vector<std::string> on = ActiveDefines(include_text);
        if (std::any_of(on.begin(), on.end(),
                        [&](const std::string& defined) { return equal_no_case(defined, name); }))
            continue;
        const size_t at = upper_case(include_text).find(upper_case("{.$define " + name + "}"));
        if (at != std::string::npos)
            include_text.erase(at + 1, 1);  // the dot that keeps it off
        else
            include_text += "{$define " + name + "}\r\n";
    }
    return include_text;
}

void CopyGlueFiles(const std::string& program_directory, const std::string& project_directory) {
    const std::string from = ProjectDirectoryForFiles(program_directory);
    const std::string to = ProjectDirectoryForFiles(project_directory);
    const std::string unit = read_file(from + kGlueUnit);
    std::string include = read_file(from + kGlueInclude);
    // The switches are the user's: what the project's copy turns on stays on.
    if (file_exists(to + kGlueInclude))
        include =
            IncludeWithDefines(std::move(include), ActiveDefines(read_file(to + kGlueInclude)));
    write_file_atomically(to + kGlueInclude, include);
    write_file_atomically(to + kGlueUnit, unit);
}

std::string CodeWrittenMessage(const std::string& project_directory) {
    return "Code written successfully.\r\rThe files lx_lang.pas and lx_lang.inc are now copied "
           "to " +
           project_directory +
           ".\r\rTo build the program in the translation, turn its switches on in lx_lang.inc: "
           "remove the dot from \"{.$define TranslatedStrings}\" for the translated strings, and "
           "from \"{.$define TranslatedForm}\" for the translated forms as well.";
}

}  // namespace lexorin::code
