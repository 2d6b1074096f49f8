// One form's translated form file, written from real form files and tables: the object stream in
// its resource file, each value in its own kind, the translations in the characters a program
// on a UTF-8 system prints, and a form that cannot be written leaving its older file alone.
#include "forms/translated_form_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "codec/form_conversion.h"
#include "codec/form_errors.h"
#include "codec/form_text_to_binary.h"
#include "codec/resource_file.h"
#include "codec/resource_header.h"
#include "codec/stream_bytes.h"
#include "forms/form_scanner.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

namespace lexorin::forms {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
using namespace codec::bytes;

// The value kinds stream_bytes.h leaves out.
std::string WString(std::u16string_view units) {
    std::string out = "\x12" + Le(static_cast<std::uint32_t>(units.size()), 4);
    for (char16_t unit : units) out += Le(unit, 2);
    return out;
}
std::string Utf8String(std::string_view utf8) {
    return "\x14" + Le(static_cast<std::uint32_t>(utf8.size()), 4) + std::string(utf8);
}
std::string Int64(std::uint32_t small) {
    return "\x13" + Le(small, 4) + Le(0, 4);
}
std::string List(const std::string& values) {
    return "\x01" + values + kEnd;
}

// A project's forms folder and its scanned rows, from which the translated forms are written.
class TranslatedForms : public ::testing::Test {
  protected:
    std::string form_file(const std::string& name) const { return src.file(name); }
    std::string text_file() const { return work.file("Tempform.txt"); }
    void Scan(const std::string& form) {
        codec::FormFileToText(form, text_file());
        FormStringScanner(strings, files, code_page, {}, reporter).Scan(text_file(), form);
    }
    void Translate(const std::string& original, const std::string& translation) {
        forms.set_index_name("");
        for (forms.first(); !forms.eof(); forms.next()) {
            if (forms.text("OriginalString") != original) continue;
            forms.edit();
            forms.set_text("TranslateString", translation);
            forms.post();
            return;
        }
        ADD_FAILURE() << "no row " << original;
    }
    int Write(const std::string& form) {
        TranslatedFormWriter writer(strings, files, code_page, reporter);
        return WriteTranslatedForm(writer, form, text_file());
    }
    // The object stream in the translated form file beside `form`.
    std::string WrittenStream(const std::string& form) {
        return codec::FormStreamOfResourceFile(read_test_file(TranslatedFormPath(form)));
    }

    static bool CreateTables(const TempDir& home) {
        store::create_table(home.file("Demo_German_forms.db"), store::forms_schema());
        store::create_table(home.file("Demo_units.db"), store::file_list_schema());
        return true;
    }

    TempDir home, src, work;
    store::Session session;
    bool created = CreateTables(home);
    store::FormRows strings{{session, home.path()}, store::TableFile{"Demo_German_forms.db"}};
    store::FormFiles files{{session, home.path()}, store::TableFile{"Demo_units.db"}};
    store::Table& forms = strings.table();
    CodePage code_page;  // the scanner's and the writer's
    SilentReporter reporter;
};

TEST(TranslatedFormPath, IsTheFormsNameWithTheResourceFileExtension) {
    EXPECT_EQ(TranslatedFormPath("/p/src/order_form.dfm"), "/p/src/order_form.tra.res");
    EXPECT_EQ(TranslatedFormPath("/p/v1.2/Main.DFM"), "/p/v1.2/Main.tra.res");
}

// Properties of every kind a binary form holds, before and after translation.
std::string BinaryForm(const std::string& caption, const std::string& title,
                       const std::string& note, const std::string& help, const std::string& lines,
                       const std::string& quote) {
    return Form(Object("TForm1", "Form1",
                       Prop("Caption", caption) + Prop("Hint", String("Gr\xFC\xDF")) +
                           Prop("Title", title) + Prop("Note", note) + Prop("HelpKeyword", help) +
                           Prop("Lines", lines) + Prop("Quote", quote) + Prop("Big", Int64(5)),
                       Object("TButton", "Button1", Prop("Caption", String("OK")))));
}

TEST_F(TranslatedForms, ABinaryFormKeepsEveryKindAndUntranslatedByte) {
    const std::string original = BinaryForm(String("Hello"), WString(u"Wide"), Utf8String("Plain"),
                                            String("Short"), String("One line"), String("Quote"));
    const std::string form = form_file("Unit1.dfm");
    write_test_file(
        form, codec::MakeResourceHeader("TForm1", static_cast<std::uint32_t>(original.size())) +
                  original);
    Scan(form);

    // Nothing translated: the stream is the form's, byte for byte, under the root's class name.
    EXPECT_EQ(Write(form), 0);
    EXPECT_EQ(read_test_file(TranslatedFormPath(form)),
              codec::FormResourceFile("TForm1", original));

    // An 8-bit string takes its translation as UTF-8 (and the long code once beyond 255
    // bytes, which 200 umlauts are in UTF-8 though 200 bytes in Windows-1252); a wide and a
    // UTF-8 string take its characters; line breaks and apostrophes arrive as themselves.
    Translate("Hello", "Gr\xFC\xDF dich");
    Translate("Wide", "F\xFCr \x80");
    Translate("Plain", "\xE4");
    Translate("Short", std::string(200, '\xFC'));
    Translate("One line", "Zwei\r\nZeilen");
    Translate("Quote", "Das ist's");
    EXPECT_EQ(Write(form), 6);
    std::string umlauts;
    for (int i = 0; i < 200; ++i) umlauts += "\xC3\xBC";
    EXPECT_EQ(WrittenStream(form),
              BinaryForm(String("Gr\xC3\xBC\xC3\x9F dich"), WString(u"F\u00FCr \u20AC"),
                         Utf8String("\xC3\xA4"), LString(umlauts), String("Zwei\r\nZeilen"),
                         String("Das ist's")));
    // The form itself never changes.
    EXPECT_EQ(read_test_file(form).substr(16), original);
}

const char kNotesText[] =
    "object Notes: TNotesForm\r\n"
    "  Caption = 'Notes'\r\n"
    "  Hint = 'Gr'#252#223'e'\r\n"
    "  Title = 'Fenster '#322'a'\r\n"
    "  Items.Strings = (\r\n"
    "    'One'\r\n"
    "    'Two')\r\n"
    "  object Part: TNotesPart\r\n"
    "    Text = 'For you'\r\n"
    "  end\r\n"
    "end\r\n";

TEST_F(TranslatedForms, AFormStoredAsTextBecomesTheStreamItsTextGives) {
    const std::string form = form_file("notes.dfm");
    write_test_file(form, kNotesText);
    Scan(form);
    auto expected = [](const std::string& caption, const std::string& title,
                       const std::string& first) {
        return Form(Object("TNotesForm", "Notes",
                           Prop("Caption", caption) +
                               Prop("Hint", String("Gr\xFC\xDF"
                                                   "e")) +
                               Prop("Title", title) +
                               Prop("Items.Strings", List(first + String("Two"))),
                           Object("TNotesPart", "Part", Prop("Text", String("For you")))));
    };
    EXPECT_EQ(Write(form), 0);
    EXPECT_EQ(WrittenStream(form),
              expected(String("Notes"), WString(u"Fenster \u0142a"), String("One")));
    EXPECT_EQ(codec::FormTextToBinary(kNotesText), WrittenStream(form));

    // The wide string (a character beyond U+00FF) stays wide; the 8-bit ones take UTF-8.
    Translate("Notes", "Notizen \x80");
    Translate("'Fenster '#322'a'", "Okno \xE9");
    Translate("One", "Eins\t1");
    EXPECT_EQ(Write(form), 3);
    EXPECT_EQ(WrittenStream(form),
              expected(String("Notizen \xE2\x82\xAC"), WString(u"Okno \u00E9"), String("Eins\t1")));
    EXPECT_EQ(read_test_file(form), kNotesText);
}

TEST_F(TranslatedForms, AUtf8CodePageGivesItsBytesAsTheyAre) {
    code_page = CodePage("UTF-8");
    const std::string form = form_file("notes.dfm");
    write_test_file(form, kNotesText);
    Scan(form);
    Translate("Notes", "F\xC3\xBCr \xE2\x82\xAC");
    Translate("One", std::string(3000, 'x'));  // on lines of its own in the text, whole here
    Write(form);
    const std::string stream = WrittenStream(form);
    EXPECT_NE(stream.find(Prop("Caption", String("F\xC3\xBCr \xE2\x82\xAC"))), std::string::npos);
    EXPECT_NE(stream.find(List(LString(std::string(3000, 'x')) + String("Two"))),
              std::string::npos);
}

TEST_F(TranslatedForms, AFormThatCannotBeWrittenLeavesItsOlderFileAlone) {
    const std::string form = form_file("notes.dfm");
    const std::string target = TranslatedFormPath(form);
    write_test_file(form, kNotesText);
    Scan(form);
    write_test_file(target, "older");

    // A byte the code page leaves undefined: named with its row.
    code_page = CodePage("CP1251");
    Translate("Notes", "\x98");
    try {
        Write(form);
        ADD_FAILURE() << "written";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The translation of .NOTES Caption.0 cannot go into the form: The byte 0x98 "
                  "has no character in the code page CP1251.");
    }
    EXPECT_EQ(read_test_file(target), "older");

    // A text that is no longer a form, and a binary form cut short.
    write_test_file(form, "object Notes: TNotesForm\r\n  Caption = 'open\r\nend\r\n");
    EXPECT_THROW(Write(form), codec::EParserError);
    write_test_file(form, codec::FormTextToResource(kNotesText).substr(0, 40));
    EXPECT_THROW(Write(form), codec::EReadError);
    EXPECT_EQ(read_test_file(target), "older");

    // A translated form, or an older one, as a form: its own target, or a form's.
    for (const char* name : {"other.tra.res", "Other.TRA"}) {
        write_test_file(form_file(name), kNotesText);
        EXPECT_THROW(Write(form_file(name)), Error) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(form_file("other.tra.tra.res")));
    EXPECT_EQ(read_test_file(form_file("other.tra.res")), kNotesText);
}

}  // namespace
}  // namespace lexorin::forms
