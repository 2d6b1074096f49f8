#pragma once

// A translator's work done mechanically on an exported PO file, so that a test can translate
// thousands of strings through the same import a translator's file takes.

#include <string>

namespace lexorin::corpus {

struct MechanicalTranslation {
    std::string po;      // the file with the msgstr lines filled
    int entries = 0;     // entries with a msgid (the header left out)
    int translated = 0;  // entries whose msgstr was filled
};

// Fills the msgstr of every `every`-th entry (the first, the `every`+1-th, ...) with `prefix`
// followed by the entry's msgid exactly as the file holds it: its escapes and its continued
// lines stay as they are. `prefix` is plain text that needs no escape in a PO string.
MechanicalTranslation TranslateMechanically(const std::string& po, const std::string& prefix,
                                            int every = 1);

}  // namespace lexorin::corpus
