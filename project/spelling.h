#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The spelling of translations, with Hunspell and a dictionary Debian installs for the language
// (package hunspell-de-de and the like: <code>_<REGION>.aff and .dic under /usr/share/hunspell).
// Where no dictionary is installed the checker is off and finds nothing: spelling is a help, never
// a reason to refuse a translation.
namespace lexorin::project {

// A word the dictionary does not know: its place in the checked text (bytes of UTF-8) and the
// words the dictionary offers instead.
struct Misspelling {
    std::string word;
    std::size_t offset = 0;
    std::vector<std::string> suggestions;
};

class SpellChecker {
  public:
    // The folders Debian's dictionary packages install into.
    static std::vector<std::string> DefaultDictionaryFolders();

    // The checker for `language`, a language name of the program ("German") or a dictionary's
    // own name ("de_AT"). Off when none of `folders` holds a dictionary for it; a name with a
    // region takes that region's, "German" the main region's (de_DE) before any other (de_AT).
    SpellChecker(const std::string& language, const std::vector<std::string>& folders);
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;
    ~SpellChecker();

    bool available() const { return handle_ != nullptr; }
    // The dictionary in use ("/usr/share/hunspell/de_DE"), empty when off.
    const std::string& dictionary() const { return dictionary_; }

    // The words of `utf8` the dictionary does not know, in order, with at most
    // `most_suggestions` suggestions each. What a translation holds besides words is passed
    // over: an accelerator's "&" inside a word, placeholders (%d, %s, %1:s), numbers and words
    // with digits, and Pascal's character codes (#13). Nothing when the checker is off.
    std::vector<Misspelling> Check(std::string_view utf8, std::size_t most_suggestions = 5) const;

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::string dictionary_;
};

}  // namespace lexorin::project
