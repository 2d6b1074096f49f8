#include "forms/translated_form_file.h"

#include <sstream>

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "code/form_directive.h"
#include "code/translator.h"
#include "forms/byte_streams.h"
#include "forms/form_conversion.h"
#include "forms/form_text_to_binary.h"
#include "forms/form_text_writer.h"
#include "forms/form_translation_writer.h"
#include "forms/resource_file.h"

namespace lexorin::forms {

namespace {

// The codes a form stored as text has in its binary form, which the way back of its translated
// text keeps for each value (a string with a character beyond U+00FF stays wide, the others
// 8-bit). Raises EParserError for a text that is no form.
FormStreamCodes TextFormCodes(std::string_view text) {
    const std::string binary = FormTextToBinary(text);
    std::istringstream in(binary);
    DiscardSink discard;
    FormStreamCodes codes;
    FormBinaryToText(in, discard, &codes);
    return codes;
}

}  // namespace

std::string TranslatedFormPath(const std::string& form_path) {
    return code::TranslatedFormName(form_path);
}

int WriteTranslatedForm(code::TTranslator& translator, const std::string& form_path,
                        const std::string& text_path) {
    // A translated form, or a ".tra" an earlier version wrote, is no form to translate: its
    // target would be itself or the translated form of the form it came from.
    const std::string upper = upper_case(form_path);
    if (ends_with(upper, upper_case(code::kTranslatedFormExtension)) || ends_with(upper, ".TRA"))
        throw Error("Cannot write a translation of " + form_path +
                    ": it has the extension of a translated form itself");
    // The codes the text form cannot show (a small 64-bit integer, a wide string of plain
    // letters, an inherited frame) go back as the form had them.
    FormStreamCodes codes;
    const bool was_text = FormFileToText(form_path, text_path, &codes);
    std::string text = read_file(text_path);
    if (was_text) codes = TextFormCodes(text);
    TranslatedFormText translated = TranslateFormText(translator, text, form_path);
    if (translated.replaced > 0) text = join_text_lines(translated.lines);
    const FormObjectStream stream =
        TranslatedTextToBinary(text, codes, translated.translated_lines);
    write_file_atomically(TranslatedFormPath(form_path),
                          FormResourceFile(stream.root_class, stream.bytes));
    return translated.replaced;
}

}  // namespace lexorin::forms
