#pragma once

#include <string>

// Lexorin names languages in words ("German"); exchange files name them by code ("de"). The
// codes of common languages, for the fields of PO headers and the xml:lang of TMX files.
namespace lexorin::project {

// "de" for "German" (any letter case, blanks around ignored); "" for a name not in the list.
std::string LanguageCode(const std::string& language);

// "German" for "de", "DE", "de-DE" or "de_AT" (the primary subtag decides); "" for a code not
// in the list.
std::string LanguageForCode(const std::string& code);

}  // namespace lexorin::project
