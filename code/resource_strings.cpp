#include "code/resource_strings.h"

#include "app/file_utils.h"
#include "app/text_utils.h"
#include "store/table_store.h"

namespace lexorin::code {

namespace {

std::string ResourceLine(std::int64_t index, const std::string& text, std::int64_t spaces) {
    return "  s_" + std::to_string(index) + " = '" + text +
           std::string(static_cast<size_t>(std::max<std::int64_t>(0, spaces)), ' ') + "';";
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
        const std::int64_t index = rows.integer("Index");
        const std::int64_t spaces = rows.integer("SpacesAtEnd");
        const std::string original = rows.text("OriginalString");
        const std::string translation = rows.text("TranslateString");
        lines.translation.push_back(
            ResourceLine(index, translation.empty() ? original : translation, spaces));
        lines.original.push_back(ResourceLine(index, original, spaces));
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
