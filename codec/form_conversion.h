#pragma once

#include <string>
#include <string_view>

#include "codec/form_stream_codes.h"

namespace lexorin::codec {

// Converts a form file into its text form in text_path, which is created or replaced only once
// the text is complete. Gives wasText: true when the form file is stored as text (it does not
// begin like a binary form and cannot be read as one) and was copied over unchanged. A resource
// file (a translated form) gives the text of its form resource; one that holds none raises
// lexorin::Error.
// A form file that begins like a binary form but cannot be converted raises the conversion's
// failure (EReadError or EInvalidImage) placed at the byte offset where reading stopped:
// "<form_path>, byte offset 40: Stream-Read-Fehler (the form ends early: ...)"; a file that
// cannot be opened or written raises lexorin::Error. On every failure text_path is left as it
// was.
// With `codes` set, a binary form's object flags and value codes are recorded there, for
// TextFileToForm to give them back.
bool FormFileToText(const std::string& form_path, const std::string& text_path,
                    FormStreamCodes* codes = nullptr);

// The text form of a form file, made in memory, and whether the file is stored as text.
struct FormFileText {
    std::string text;
    bool was_text = false;
};

// As FormFileToText, with the text given back instead of written to a file: the same checks of
// the form file, the same text and codes, the same failures (those of a target file aside).
FormFileText ReadFormFileAsText(const std::string& form_path, FormStreamCodes* codes = nullptr);

// Writes form_path from a text form: a plain copy when was_text is set, else the binary form with
// its resource header. The target is replaced only once complete; on failure (EParserError
// placed at its line: "<text_path>, line 2: <message> in Zeile 2 (<meaning>)", or
// lexorin::Error for a file) it is left as it was.
void TextFileToForm(const std::string& text_path, const std::string& form_path, bool was_text,
                    const FormStreamCodes* codes = nullptr);

// Whether a file beginning with these bytes is meant as a binary form: a resource header
// (FF 0A 00) or a bare object stream ("TPF0").
bool LooksLikeBinaryForm(std::string_view first_bytes);

}  // namespace lexorin::codec
