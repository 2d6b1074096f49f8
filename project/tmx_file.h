#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// TMX 1.4, the exchange format of translation memories, as far as Lexorin reads and writes it:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <tmx version="1.4">
//     <header creationtool="Lexorin" creationtoolversion="1" datatype="plaintext"
//             segtype="sentence" adminlang="en" srclang="en" o-tmf="Lexorin"/>
//     <body>
//       <tu changedate="20240501T140300Z">
//         <prop type="x-lexorin-project">Demo</prop>
//         <tuv xml:lang="en"><seg>Open</seg></tuv>
//         <tuv xml:lang="de"><seg>Öffnen</seg></tuv>
//       </tu>
//     </body>
//   </tmx>
//
// The file is UTF-8. Texts are escaped with the five XML entities; a CR and other control
// characters are written as character references, so that no XML reader turns a CR LF into a LF.
// The reader takes the predefined entities and character references, comments, processing
// instructions and a DOCTYPE; it refuses CDATA sections, other encodings and anything that is
// not well-formed, naming the line. A <seg> holding inline markup (<bpt>, <ph>, ...) is read,
// but its unit is marked as skipped: such a text is no plain string.
namespace lexorin::project {

struct TmxVariant {
    std::string language;  // xml:lang as written
    std::string text;
};

struct TmxUnit {
    std::vector<TmxVariant> variants;
    std::vector<std::pair<std::string, std::string>> props;  // type, value
    std::string changed;  // changedate, else creationdate; "" when neither is given
    std::string skipped;  // why the unit holds no plain texts; "" when it does
};

struct TmxDocument {
    std::string source_language = "en";  // srclang
    std::vector<TmxUnit> units;
};

// The document as TMX text.
std::string TmxText(const TmxDocument& document, const std::string& tool_version);
// Writes the document to `path`, replacing the file only once it is complete.
void WriteTmx(const std::string& path, const TmxDocument& document,
              const std::string& tool_version);

// Parses TMX text; `name` names it in errors: "<name>, line 12: the element <tu> is not closed".
// Raises Error for anything that is not a TMX document as described above.
TmxDocument ParseTmx(std::string_view text, const std::string& name);
// Reads and parses the file at `path`.
TmxDocument ReadTmx(const std::string& path);

}  // namespace lexorin::project
