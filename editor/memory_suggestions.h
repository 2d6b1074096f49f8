#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "store/translation_memory.h"

// The translation memory as the editor asks it: suggestions for the row being translated. The
// memory is a help: a missing or unusable one gives no suggestions and a note saying why, never
// an error.
namespace lexorin::editor {

class MemorySuggestions {
  public:
    // The memory of `directory` (the program directory), for `language` as the project names it.
    // Nothing is opened yet: a memory that does not exist is not created by looking.
    MemorySuggestions(std::string directory, std::string language);
    ~MemorySuggestions();
    MemorySuggestions(const MemorySuggestions&) = delete;
    MemorySuggestions& operator=(const MemorySuggestions&) = delete;

    // Up to `limit` suggestions for a row's stored original (a Pascal literal body when
    // `code_row`), exact match first; texts in UTF-8. Empty, with note() saying why, when there
    // is no memory, it cannot be used or the original does not convert.
    std::vector<store::Suggestion> For(const std::string& stored_original, bool code_row,
                                       const CodePage& code_page, size_t limit = 5);

    // Why the last call found nothing to look in; empty when the memory was asked.
    const std::string& note() const { return note_; }

  private:
    bool open();

    std::string directory_;
    std::string language_;
    std::unique_ptr<store::TranslationMemory> memory_;
    std::string unusable_;  // the memory's own complaint, kept: the file stays as it is
    std::string note_;
};

}  // namespace lexorin::editor
