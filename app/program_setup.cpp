#include "app/program_setup.h"

#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/resource_strings.h"
#include "store/translation_tables.h"

namespace lexorin {

void prepare_program_directory(const std::string& directory, const std::string& seed_directory) {
    store::ensure_templates(directory, seed_directory);
    if (seed_directory.empty() || seed_directory == directory) return;
    for (const char* glue : {code::kGlueInclude, code::kGlueUnit}) {
        std::string target = join_path(directory, glue);
        std::string seed = join_path(seed_directory, glue);
        if (!file_exists(target) && file_exists(seed))
            write_file_atomically(target, read_file(seed));
    }
}

}  // namespace lexorin
