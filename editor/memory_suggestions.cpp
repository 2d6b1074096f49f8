#include "editor/memory_suggestions.h"

#include <filesystem>

#include "base/text_utils.h"
#include "project/memory_feed.h"

namespace lexorin::editor {

MemorySuggestions::MemorySuggestions(std::string directory, std::string language)
    : directory_(std::move(directory)), language_(std::move(language)) {}

MemorySuggestions::~MemorySuggestions() = default;

bool MemorySuggestions::open() {
    if (memory_) return true;
    if (!unusable_.empty()) {
        note_ = unusable_;
        return false;
    }
    std::error_code error;
    const std::filesystem::path file =
        std::filesystem::path(directory_) / store::kTranslationMemoryFile;
    // The first post of a translation creates it; until then there is nothing to suggest.
    if (!std::filesystem::exists(file, error)) {
        note_ = "No translation memory yet.";
        return false;
    }
    try {
        memory_ = std::make_unique<store::TranslationMemory>(directory_);
    } catch (const std::exception& e) {
        unusable_ = e.what();
        note_ = unusable_;
        return false;
    }
    return true;
}

std::vector<store::Suggestion> MemorySuggestions::For(const std::string& stored_original,
                                                      bool code_row, const CodePage& code_page,
                                                      size_t limit) {
    note_.clear();
    if (trim(language_).empty()) {
        note_ = "No language: no suggestions.";
        return {};
    }
    if (trim(stored_original).empty() || !open()) return {};
    try {
        return memory_->Suggestions(code_page.to_utf8(language_),
                                    project::MemoryText(stored_original, code_row, code_page),
                                    limit);
    } catch (const std::exception& e) {
        note_ = e.what();
        return {};
    }
}

}  // namespace lexorin::editor
