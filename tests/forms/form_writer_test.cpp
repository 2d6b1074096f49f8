// The translated form writer: a form text scanned, translated in the table and rewritten.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/text_utils.h"
#include "codec/form_text_to_binary.h"
#include "codec/stream_bytes.h"
#include "forms/form_scanner.h"
#include "forms/form_translation_writer.h"
#include "forms/translation_text.h"
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

TEST(ReplaceFormString, OnlyTheQuotedPartChangesAsTheTextFormWritesIt) {
    const CodePage cp1252;
    // "a" also stands in the property name, which is left alone.
    EXPECT_EQ(ReplaceFormString("  Caption = 'a'", {"a", "b", 0}, cp1252), "  Caption = 'b'");
    EXPECT_EQ(ReplaceFormString("  Caption = 'It'#39's'", {"It's", "C'est", 0}, cp1252),
              "  Caption = 'C'#39'est'");
    // The blanks belong to the search text: without them the line does not match.
    EXPECT_EQ(ReplaceFormString("  Caption = 'Hello'", {"Hello", "Hallo", 2}, cp1252),
              "  Caption = 'Hello'");
    // A blank original would match the blanks of any line.
    EXPECT_EQ(ReplaceFormString("  Caption = 'Yes  '", {"", "x", 2}, cp1252),
              "  Caption = 'Yes  '");
    // The original keeps its bytes in the search text; the translation is written as characters.
    EXPECT_EQ(
        ReplaceFormString("  Caption = 'Gr\xFC\xDF  '", {"Gr\xFC\xDF", "Open \x80", 2}, cp1252),
        "  Caption = 'Open '#8364'  '");
}

TEST(ReplaceFormString, ARowInTheFormTextsNotationIsFoundAndTranslatedAsThatNotation) {
    const CodePage cp1252;
    // A Lazarus form doubles the quote; the row holds what stands between the outer quotes, and
    // the translator, shown that, writes the same notation or plain text.
    EXPECT_EQ(ReplaceFormString("  Caption = 'It''s'", {"It''s", "Das ist''s", 0}, cp1252),
              "  Caption = 'Das ist'#39's'");
    EXPECT_EQ(ReplaceFormString("  Caption = 'It''s'", {"It''s", "C'est \xFC", 0}, cp1252),
              "  Caption = 'C'#39'est '#252''");
    EXPECT_EQ(ReplaceFormString("  Hint = 'One'#13#10'Two'",
                                {"One'#13#10'Two", "Eins'#13#10'Zwei", 0}, cp1252),
              "  Hint = 'Eins'#13#10'Zwei'");
    EXPECT_EQ(ReplaceFormString("  Hint = '#'", {"#", "Nr.", 0}, cp1252), "  Hint = 'Nr.'");
    // A piece of a string the text form split (" +") is no whole string: the line stays as it
    // is rather than losing its closing quote.
    EXPECT_EQ(ReplaceFormString("    'first part' +", {"first part'", "erster Teil", 1}, cp1252),
              "    'first part' +");
}

TEST(TranslationBetweenQuotes, EveryCharacterThatIsNoPrintableAsciiBecomesItsCode) {
    const CodePage cp1252;
    auto text = [&](std::string_view translation) {
        return TranslationBetweenQuotes(translation, cp1252, "    ");
    };
    EXPECT_EQ(text("l'usine"), "l'#39'usine");
    EXPECT_EQ(text("Zwei\r\nZeilen"), "Zwei'#13#10'Zeilen");
    EXPECT_EQ(text("\tTab"), "'#9'Tab");     // starts with a code: an empty run before
    EXPECT_EQ(text("Ende\r"), "Ende'#13'");  // ends with one: an empty run after
    EXPECT_EQ(text("f\xFCr \x80 \x7F"), "f'#252'r '#8364' '#127'");
    EXPECT_EQ(text(""), "");
    // In another code page the same byte is another character.
    EXPECT_EQ(TranslationBetweenQuotes("\xC4\xE0", CodePage("CP1251"), ""), "'#1044#1072'");
    EXPECT_THROW(TranslationBetweenQuotes("\x98", CodePage("CP1251"), ""), Error);
}

TEST(TranslationBetweenQuotes, ALongTranslationTakesLinesOfItsOwn) {
    // Plain letters, codes only, and both mixed: each comes back whole from the text, on lines
    // the text reader takes.
    for (const std::string& translation :
         {std::string(2500, 'x'), std::string(1500, '\r'),
          std::string(900, 'a') + "\xFC\r'" + std::string(2000, '\xE4')}) {
        const std::string text = TranslationBetweenQuotes(translation, CodePage(), "    ");
        const std::string form = "object F: TF\r\n  Caption = '" + text + "'\r\nend\r\n";
        for (const std::string& line : read_text_lines(form))
            EXPECT_LE(line.size(), kTranslationPieceBytes + 20);
        // Read without translated lines, codes up to 255 are the Windows-1252 bytes again.
        EXPECT_EQ(
            codec::FormTextToBinary(form),
            codec::bytes::Form(codec::bytes::Object(
                "TF", "F", codec::bytes::Prop("Caption", codec::bytes::LString(translation)))));
    }
}

// A scanned form in real tables, translated row by row, then rewritten.
bool CreateTables(const TempDir& home) {
    store::create_table(home.file("Demo_English_forms.db"), store::forms_schema());
    store::create_table(home.file("Demo_units.db"), store::file_list_schema());
    return true;
}

struct WriterTables {
    std::string text_file() const { return work.file("Tempform.txt"); }
    void Scan(const std::string& text, const std::string& form_path) {
        write_test_file(text_file(), text);
        FormStringScanner(strings, files, CodePage(), {}, reporter).Scan(text_file(), form_path);
    }
    // Sets the translation of the row with this original (the first one in Index order).
    void Translate(const std::string& original, const std::string& translation,
                   bool translated = true) {
        forms.set_index_name("");
        for (forms.first(); !forms.eof(); forms.next()) {
            if (forms.text("OriginalString") != original) continue;
            forms.edit();
            forms.set_text("TranslateString", translation);
            forms.set_logical("Translated", translated);
            forms.post();
            return;
        }
        ADD_FAILURE() << "no row " << original;
    }
    // Rewrites the text as the text of the form file at form_path; gives the new text.
    std::string Write(const std::string& text, const std::string& form_path, int* replaced = {}) {
        write_test_file(text_file(), text);
        int n = writer.TranslateFile(text_file(), form_path);
        if (replaced) *replaced = n;
        return read_test_file(text_file());
    }

    TempDir home;
    TempDir work;
    store::Session session;
    bool created = CreateTables(home);
    store::FormRows strings{{session, home.path()}, store::TableFile{"Demo_English_forms.db"}};
    store::FormFiles files{{session, home.path()}, store::TableFile{"Demo_units.db"}};
    store::Table& forms = strings.table();
    SilentReporter reporter;
    TranslatedFormWriter writer{strings, files, CodePage(), reporter};
};

std::string Lines(std::initializer_list<const char*> lines) {
    std::vector<std::string> v(lines.begin(), lines.end());
    return join_text_lines(v);
}

TEST(TranslateForm, TranslationsReplaceTheirStringsAndTheRestStaysByteForByte) {
    WriterTables t;
    const std::string form =
        Lines({"object Form1: TForm1", "  Caption = 'Yes'", "  object ListBox1: TListBox",
               "    Items.Strings = (", "      'One'", "      '   '", "      'Two')",
               "    Hint = 'Hello  '", "  end", "  object Label1: TLabel",
               "    Caption = 'factory'", "    Hint = 'Keep'", "    HelpKeyword = ",
               "      'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +",
               "      'tail'", "  end", "end"});
    t.Scan(form, "/p/Unit1.dfm");
    t.Translate("Yes", "Ja");
    t.Translate("One", "Eins");
    t.Translate("Two", "Zwei");
    t.Translate("Hello", "Hallo");
    t.Translate("factory", "l'usine");
    t.Translate("Keep", "", true);  // marked translated, but nothing to write
    t.Translate(std::string(64, 'x') + "'", "never");
    t.Translate("tail", "Ende");
    int replaced = 0;
    EXPECT_EQ(t.Write(form, "/p/Unit1.dfm", &replaced),
              Lines({"object Form1: TForm1", "  Caption = 'Ja'", "  object ListBox1: TListBox",
                     "    Items.Strings = (", "      'Eins'", "      '   '", "      'Zwei')",
                     "    Hint = 'Hallo  '", "  end", "  object Label1: TLabel",
                     "    Caption = 'l'#39'usine'", "    Hint = 'Keep'", "    HelpKeyword = ",
                     // a piece that still holds its quote is not found in its line
                     "      'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +",
                     // the last piece of a long string, without a quote, is
                     "      'Ende'", "  end", "end"}));
    EXPECT_EQ(replaced, 6);
}

TEST(TranslateForm, EachFormFileTakesTheRowsOfItsOwnScan) {
    WriterTables t;
    const std::string text = "object Form1: TForm1\r\n  Caption = 'Close'\r\nend\r\n";
    t.Scan(text, "/p/a/Unit1.dfm");
    t.Scan(text, "/p/b/Unit1.dfm");
    // Only the second form's row is translated; the first one's row comes first in the
    // Translation order and would hide it.
    t.forms.set_index_name("");
    t.forms.last();
    t.forms.edit();
    t.forms.set_text("TranslateString", "Schliessen");
    t.forms.post();
    EXPECT_EQ(t.Write(text, "/p/b/Unit1.dfm"),
              "object Form1: TForm1\r\n  Caption = 'Schliessen'\r\nend\r\n");
    EXPECT_EQ(t.Write(text, "/p/a/Unit1.dfm"), text);
    // A form that was never scanned takes the first row with the same object and property.
    EXPECT_EQ(t.Write(text, "/p/c/Unit1.dfm"), text);
    t.Translate("Close", "Zu");
    EXPECT_EQ(t.Write(text, "/p/c/Unit1.dfm"),
              "object Form1: TForm1\r\n  Caption = 'Zu'\r\nend\r\n");
}

TEST(TranslateForm, AnUntranslatedTextKeepsItsBytes) {
    WriterTables t;
    // Line feeds only and no line break at the end, as a hand-made text form may have.
    const std::string text = "object Form1: TForm1\n  Caption = 'Close'\nend";
    t.Scan(text, "/p/Unit1.dfm");
    int replaced = -1;
    EXPECT_EQ(t.Write(text, "/p/Unit1.dfm", &replaced), text);
    EXPECT_EQ(replaced, 0);
    t.Translate("Close", "Zu");
    EXPECT_EQ(t.Write(text, "/p/Unit1.dfm"), "object Form1: TForm1\r\n  Caption = 'Zu'\r\nend\r\n");
}

// A writer that read the table at once takes, string by string, the row a search would find:
// the form's own row, or for a form never scanned the one of the lowest Index; a translated row
// is written whatever its flags, ignored or not; the blanks the store dropped come back.
TEST(TranslateForm, RowsReadAtOnceGiveWhatTheSearchesGive) {
    WriterTables t;
    const std::string text =
        Lines({"object Form1: TForm1", "  Caption = 'Close  '", "  object Label1: TLabel",
               "    Caption = 'Version'", "    Hint = 'Hint'", "  end", "end"});
    t.Scan(text, "/p/a/Unit1.dfm");
    t.Scan(text, "/p/b/Unit1.dfm");
    t.forms.set_index_name("");
    int row = 0;
    for (t.forms.first(); !t.forms.eof(); t.forms.next(), ++row) {
        t.forms.edit();
        t.forms.set_text("TranslateString", t.forms.text("OriginalString") + std::to_string(row));
        // The first form's version is ignored, and the second form's hint.
        if (row == 1 || row == 5) t.forms.set_logical("Ignore", true);
        t.forms.post();
    }
    TranslatedFormWriter read_at_once{t.strings, t.files, CodePage(), t.reporter};
    read_at_once.ReadRowsAtOnce();
    for (const char* form : {"/p/a/Unit1.dfm", "/p/b/Unit1.dfm", "/p/c/Unit1.dfm"}) {
        const TranslatedFormText searched = t.writer.TranslateText(text, form);
        const TranslatedFormText read = read_at_once.TranslateText(text, form);
        EXPECT_EQ(read.lines, searched.lines) << form;
        EXPECT_EQ(read.replaced, searched.replaced) << form;
        EXPECT_EQ(read.translated_lines, searched.translated_lines) << form;
    }
    EXPECT_EQ(join_text_lines(read_at_once.TranslateText(text, "/p/c/Unit1.dfm").lines),
              Lines({"object Form1: TForm1", "  Caption = 'Close0  '", "  object Label1: TLabel",
                     "    Caption = 'Version1'", "    Hint = 'Hint2'", "  end", "end"}));
    EXPECT_EQ(read_at_once.TranslateText(text, "/p/b/Unit1.dfm").replaced, 3);
}

}  // namespace
}  // namespace lexorin::forms
