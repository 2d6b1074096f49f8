#pragma once

#include "store/table_schema.h"

// Field and order names of the four translation tables, as the program writes them into the
// table files (the store looks field names up without regard to case). Renaming one makes the
// files written before unreadable.
namespace lexorin::store {

namespace field {
inline constexpr const char* Index = kNumberedKey;  // every kind: the numbered key
// forms and pascal: one row per string.
inline constexpr const char* OriginalString = "OriginalString";
inline constexpr const char* TranslateString = "TranslateString";
// forms and pascal: the Index of the file's row in units or pasfiles; units and pasfiles: the
// file's name.
inline constexpr const char* UnitName = "UnitName";
inline constexpr const char* Translated = "Translated";
inline constexpr const char* Ignore = "Ignore";
inline constexpr const char* Changed = "Changed";
inline constexpr const char* SpacesAtEnd = "SpacesAtEnd";
inline constexpr const char* Context = "Context";
// forms and pascal: a translation that came from a fuzzy match of the translation memory and
// waits for a translator's look; the row stays untranslated meanwhile.
inline constexpr const char* NeedsReview = "NeedsReview";
// forms only: the component and the property that hold the string.
inline constexpr const char* Object = "Object";
inline constexpr const char* Property = "Property";
// pascal only: where the literal stands in the rewritten unit and stood in the original.
inline constexpr const char* NewLine = "NewLine";
inline constexpr const char* OriginalLine = "OriginalLine";
// units and pasfiles: the file's full path.
inline constexpr const char* Directory = "Directory";
}  // namespace field

namespace order {
inline constexpr const char* UniqueProperty =
    "UniqueProperty";                                      // forms: UnitName, Object, Property
inline constexpr const char* Translation = "Translation";  // forms: Object, Property
inline constexpr const char* String = "String";            // pascal: OriginalString
inline constexpr const char* Name = "Name";                // units, pasfiles: UnitName
}  // namespace order

}  // namespace lexorin::store
