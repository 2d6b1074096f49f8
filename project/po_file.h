#pragma once

#include <string>
#include <vector>

// Reading and writing GNU gettext PO files with GNU gettext's own library (libgettextpo). Texts
// here are UTF-8, as in the file; converting them to the program's 8-bit text is the caller's.
namespace lexorin::project {

struct PoEntry {
    bool has_context = false;
    std::string context;  // msgctxt
    std::string msgid;
    std::string msgstr;
    bool fuzzy = false;
    bool obsolete = false;  // "#~" entries, kept by tools for strings that went away
    bool plural = false;    // has msgid_plural; Lexorin writes none
    std::string comments;   // translator comments ("# "), one line each ending in "\n"
    std::string extracted;  // extracted comments ("#. "), the same way
};

struct PoCatalog {
    std::string header;  // the msgstr of the header entry, fields ending in "\n"
    std::vector<PoEntry> entries;
};

// Reads a whole PO file. Raises Error naming the file and the first complaints of the library
// ("line 3: syntax error") when it cannot be read or is malformed, and when it is not UTF-8.
PoCatalog read_po_file(const std::string& path);

// Writes the catalog, header first, replacing the file only once it is complete.
void write_po_file(const std::string& path, const PoCatalog& catalog);

// A field of a header text ("Content-Type"), or "" when absent.
std::string po_header_field(const std::string& header, const std::string& field);

}  // namespace lexorin::project
