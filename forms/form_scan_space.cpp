#include "forms/form_scan_space.h"

#include <filesystem>

#include "base/disk_space.h"
#include "store/scan_table_space.h"

namespace lexorin::forms {

namespace {

// A string of a form takes its bytes and a length or two quotes there; its row takes the
// string, its object path and property key (in the row and again in the table's two indexes on
// them) and its fields. Measured on forms of labels, the table takes twice the bytes of a text
// form and three times those of a binary one; four leaves room for longer object paths.
constexpr std::uintmax_t kRowBytesPerFormByte = 4;

}  // namespace

void RequireSpaceForFormScan(const std::vector<std::string>& forms,
                             const std::string& program_directory, size_t languages,
                             store::FormFiles& form_files, store::FormRows& scanned,
                             std::vector<store::LanguageTable>& others) {
    std::uintmax_t bytes = 0;
    for (const auto& form : forms) {
        if (form_files.find(form)) continue;
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(form, error);
        if (!error) bytes += size;
    }
    DiskSpaceNeeds needs;
    needs.Add(
        program_directory, bytes * kRowBytesPerFormByte * languages,
        "the rows of " + std::to_string(languages) + (languages == 1 ? " language" : " languages"),
        "a table takes up to four times the bytes of its forms");
    store::AddLanguageTableNeeds(needs, program_directory, scanned.table(), others);
    needs.Require("No table was changed.");
}

}  // namespace lexorin::forms
