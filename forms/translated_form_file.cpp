#include "forms/translated_form_file.h"

#include <sstream>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "base/translated_form_name.h"
#include "codec/byte_streams.h"
#include "codec/form_conversion.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/resource_file.h"

namespace lexorin::forms {

namespace {

// The codes a form stored as text has in its binary form, which the way back of its translated
// text keeps for each value (a string with a character beyond U+00FF stays wide, the others
// 8-bit). Raises EParserError for a text that is no form.
codec::FormStreamCodes TextFormCodes(std::string_view text) {
    const std::string binary = codec::FormTextToBinary(text);
    std::istringstream in(binary);
    codec::DiscardSink discard;
    codec::FormStreamCodes codes;
    codec::FormBinaryToText(in, discard, &codes);
    return codes;
}

}  // namespace

std::string TranslatedFormPath(const std::string& form_path) {
    return TranslatedFormName(form_path);
}

namespace {

// A translated form, or a ".tra" an earlier version wrote, is no form to translate: its target
// would be itself or the translated form of the form it came from.
void RequireFormToTranslate(const std::string& form_path) {
    const std::string upper = upper_case(form_path);
    if (ends_with(upper, upper_case(kTranslatedFormExtension)) || ends_with(upper, ".TRA"))
        throw Error("Cannot write a translation of " + form_path +
                    ": it has the extension of a translated form itself");
}

// Translates the text form of form_path (made with `codes`, or a form stored as text) into the
// translated form file's temporary file.
PendingTranslatedForm TranslateText(TranslatedFormWriter& writer, const std::string& form_path,
                                    std::string text, bool was_text, codec::FormStreamCodes codes) {
    if (was_text) codes = TextFormCodes(text);
    TranslatedFormText translated = writer.TranslateText(text, form_path);
    if (translated.replaced > 0) text = join_text_lines(translated.lines);
    const codec::FormObjectStream stream =
        codec::TranslatedTextToBinary(text, codes, translated.translated_lines);
    PendingTranslatedForm pending{std::make_unique<AtomicFileWriter>(TranslatedFormPath(form_path)),
                                  translated.replaced};
    pending.file->write(codec::FormResourceFile(stream.root_class, stream.bytes));
    return pending;
}

}  // namespace

PendingTranslatedForm PrepareTranslatedForm(TranslatedFormWriter& writer,
                                            const std::string& form_path) {
    RequireFormToTranslate(form_path);
    // The codes the text form cannot show (a small 64-bit integer, a wide string of plain
    // letters, an inherited frame) go back as the form had them.
    codec::FormStreamCodes codes;
    codec::FormFileText text = codec::ReadFormFileAsText(form_path, &codes);
    return TranslateText(writer, form_path, std::move(text.text), text.was_text, std::move(codes));
}

int WriteTranslatedForm(TranslatedFormWriter& writer, const std::string& form_path) {
    PendingTranslatedForm pending = PrepareTranslatedForm(writer, form_path);
    pending.file->commit();
    return pending.replaced;
}

int WriteTranslatedForm(TranslatedFormWriter& writer, const std::string& form_path,
                        const std::string& text_path) {
    RequireFormToTranslate(form_path);
    codec::FormStreamCodes codes;
    const bool was_text = codec::FormFileToText(form_path, text_path, &codes);
    PendingTranslatedForm pending =
        TranslateText(writer, form_path, read_file(text_path), was_text, std::move(codes));
    pending.file->commit();
    return pending.replaced;
}

}  // namespace lexorin::forms
