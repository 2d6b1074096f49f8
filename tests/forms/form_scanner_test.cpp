// The form scanner on real tables and files: which rows a form text gives, under which keys, and
// what a second scan changes.
#include <gtest/gtest.h>

#include <tuple>

#include "base/errors.h"
#include "base/text_utils.h"
#include "forms/form_scanner.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

namespace lexorin::forms {
namespace {

using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// A language's forms table and the project's units table in a temporary program directory,
// opened as the scan opens them, and the scanner's unwanted strings and non-text properties.
bool CreateTables(const TempDir& home) {
    store::create_table(home.file("Demo_English_forms.db"), store::forms_schema());
    store::create_table(home.file("Demo_units.db"), store::file_list_schema());
    return true;
}

struct ScanTables {
    // Scans a form text as if it were the text of the form file at form_path.
    int Scan(const std::string& text, const std::string& form_path = "/p/Unit1.dfm") {
        write_test_file(work.file("Tempform.txt"), text);
        return Scanner().Scan(work.file("Tempform.txt"), form_path);
    }
    FormStringScanner Scanner() {
        return FormStringScanner(strings, files, CodePage(), {unwanted, non_text}, reporter);
    }

    TempDir home;
    TempDir work;
    store::Session session;
    bool created = CreateTables(home);
    store::FormRows strings{{session, home.path()}, store::TableFile{"Demo_English_forms.db"}};
    store::FormFiles files{{session, home.path()}, store::TableFile{"Demo_units.db"}};
    store::Table& forms = strings.table();
    store::Table& units = files.table();
    std::vector<std::string> unwanted;
    std::vector<std::string> non_text;
    SilentReporter reporter;
};

// Object, property and original of every row, in Index order.
using Key = std::tuple<std::string, std::string, std::string>;
std::vector<Key> Keys(store::Table& forms) {
    forms.set_index_name("");
    std::vector<Key> keys;
    for (forms.first(); !forms.eof(); forms.next())
        keys.emplace_back(forms.text("Object"), forms.text("Property"),
                          forms.text("OriginalString"));
    return keys;
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::vector<std::string> v(lines.begin(), lines.end());
    return join_text_lines(v);
}

TEST(FormScanner, ObjectPathsAndPropertyKeysFollowTheTextForm) {
    ScanTables t;
    int found = t.Scan(Lines({"object Form1: TForm1",
                              "  Caption = 'Main'",
                              "  object Panel1: TPanel",
                              "    object Button1: TButton",
                              "      Caption = 'OK'",
                              "    end",
                              "  end",
                              "  object ListBox1: TListBox",
                              "    Items.Strings = (",
                              "      'One'",
                              "      '   '",
                              "      'Two')",
                              "  end",
                              "  object DBGrid1: TDBGrid",
                              "    Columns = <",
                              "      item",
                              "        Title.Caption = 'Name'",
                              "      end",
                              "      item",
                              "        Title.Caption = 'Size'",
                              "      end>",
                              "  end",
                              "  object Label1: TLabel",
                              "    Caption = 'It'#39's'",
                              "    Hint = ''",
                              "  end",
                              "end"}));
    EXPECT_EQ(found, 7);
    EXPECT_EQ(Keys(t.forms), (std::vector<Key>{
                                 {".FORM1", "Caption.0", "Main"},
                                 {".FORM1.PANEL1.BUTTON1", "Caption.0", "OK"},
                                 {".FORM1.LISTBOX1", "Items.Strings.0", "One"},
                                 // the blank element records nothing and takes no number
                                 {".FORM1.LISTBOX1", "Items.Strings.1", "Two"},
                                 {".FORM1.DBGRID1.ITEM.0", "Title.Caption.0", "Name"},
                                 {".FORM1.DBGRID1.ITEM.1", "Title.Caption.0", "Size"},
                                 // after the grid's items the next object is below the form again
                                 {".FORM1.LABEL1", "Caption.0", "It's"},
                             }));
    t.units.first();
    ASSERT_EQ(t.units.record_count(), 1);
    EXPECT_EQ(t.units.text("UnitName"), "Unit1.dfm");
    EXPECT_EQ(t.units.text("Directory"), "/p/Unit1.dfm");
    t.forms.first();
    EXPECT_EQ(t.forms.integer("UnitName"), t.units.integer("Index"));
    EXPECT_FALSE(t.forms.logical("Translated"));
    EXPECT_FALSE(t.forms.logical("Changed"));
    EXPECT_EQ(t.forms.text("TranslateString"), "");
}

TEST(FormScanner, InheritedFormsItemsOfSeveralCollectionsAndSplitStrings) {
    ScanTables t;
    std::string long_text(70, 'x');
    t.Scan(Lines({"inherited Form2: TForm2", "  object ListView1: TListView", "    Columns = <",
                  "      item", "        Caption = 'A'", "      end>", "    Groups = <",
                  "      item", "        Header = 'B'", "      end>", "  end",
                  "  inherited Memo1: TMemo", "    Hint = ",
                  "      'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +",
                  "      'xxxxxx'", "    Caption = 'Line1'#13#10'Line2'", "  end", "end"}));
    EXPECT_EQ(Keys(t.forms), (std::vector<Key>{
                                 {".FORM2.LISTVIEW1.ITEM.0", "Caption.0", "A"},
                                 // item numbers go on across the collections of one object
                                 {".FORM2.LISTVIEW1.ITEM.1", "Header.0", "B"},
                                 // each piece of a split string is a string of its own, with
                                 // the quote and blank before the " +"
                                 {".FORM2.MEMO1", "Hint.0", std::string(64, 'x') + "'"},
                                 {".FORM2.MEMO1", "Hint.1", "xxxxxx"},
                                 {".FORM2.MEMO1", "Caption.0", "Line1'#13#10'Line2"},
                             }));
    t.forms.set_index_name("");
    t.forms.first();
    t.forms.next();
    t.forms.next();
    EXPECT_EQ(t.forms.integer("SpacesAtEnd"), 1);
}

TEST(FormScanner, TrailingBlanksAndUnwantedLines) {
    ScanTables t;
    t.unwanted = {"", "font.name"};
    t.Scan(Lines(
        {"object Form1: TForm1", "  Caption = 'Hello  '", "  Font.Name = 'MS Sans Serif'", "end"}));
    t.forms.set_index_name("");
    t.forms.first();
    EXPECT_EQ(t.forms.text("OriginalString"), "Hello");  // the store keeps no trailing blanks
    EXPECT_EQ(t.forms.integer("SpacesAtEnd"), 2);
    EXPECT_FALSE(t.forms.logical("Ignore"));  // an empty entry never matches
    t.forms.next();
    EXPECT_EQ(t.forms.text("OriginalString"), "MS Sans Serif");
    EXPECT_TRUE(t.forms.logical("Ignore"));
}

TEST(FormScanner, RescansUpdateOnlyStringsThatChanged) {
    ScanTables t;
    auto form = [](const char* caption, const char* hint) {
        return "object Form1: TForm1\r\n  object Button1: TButton\r\n    Caption = '" +
               std::string(caption) + "'\r\n    Hint = '" + hint + "'\r\n  end\r\nend\r\n";
    };
    EXPECT_EQ(t.Scan(form("OK", "Press")), 2);
    // The user translates the caption and marks the hint ignored.
    t.forms.set_index_name("");
    t.forms.first();
    t.forms.edit();
    t.forms.set_text("TranslateString", "Gut");
    t.forms.set_logical("Translated", true);
    t.forms.post();
    t.forms.next();
    t.forms.edit();
    t.forms.set_logical("Ignore", true);
    t.forms.post();

    EXPECT_EQ(t.Scan(form("OK", "Press")), 2);
    EXPECT_EQ(t.forms.record_count(), 2);
    EXPECT_EQ(t.units.record_count(), 1);

    // Case and surrounding blanks are no change.
    t.Scan(form("Ok", " Press"));
    t.forms.set_index_name("");
    t.forms.first();
    EXPECT_EQ(t.forms.text("OriginalString"), "OK");
    EXPECT_TRUE(t.forms.logical("Translated"));
    EXPECT_FALSE(t.forms.logical("Changed"));

    // An update leaves the flag the row got at its first scan.
    t.unwanted = {"caption"};
    t.Scan(form("Okay   ", "Push"));
    ASSERT_EQ(t.forms.record_count(), 2);
    t.forms.set_index_name("");
    t.forms.first();
    EXPECT_EQ(t.forms.text("OriginalString"), "Okay");
    EXPECT_EQ(t.forms.integer("SpacesAtEnd"), 3);
    EXPECT_TRUE(t.forms.logical("Changed"));
    EXPECT_FALSE(t.forms.logical("Translated"));
    EXPECT_EQ(t.forms.text("TranslateString"), "Gut");  // kept for the user to review
    EXPECT_FALSE(t.forms.logical("Ignore"));
    t.forms.next();
    EXPECT_EQ(t.forms.text("OriginalString"), "Push");
    EXPECT_TRUE(t.forms.logical("Changed"));
    EXPECT_TRUE(t.forms.logical("Ignore"));  // the user's choice, not the scan's

    // A string that is gone keeps its row; a new one is added.
    t.Scan("object Form1: TForm1\r\n  Caption = 'New'\r\nend\r\n");
    EXPECT_EQ(Keys(t.forms).size(), 3u);
}

TEST(NonTextProperty, TheNameEndsWithTheEntryInAnyLetterCase) {
    const std::vector<std::string> names{"", "  LCLVersion ", "tipropertyname", "OKButton.Name",
                                         "SQL.Strings"};
    EXPECT_TRUE(IsNonTextProperty("LCLVersion.0", names));
    EXPECT_TRUE(IsNonTextProperty("LCLVERSION.0", names));
    EXPECT_TRUE(IsNonTextProperty("Link.TIPropertyName.0", names));
    EXPECT_TRUE(IsNonTextProperty("OKButton.Name.0", names));
    EXPECT_TRUE(IsNonTextProperty("Panel.OKButton.Name.0", names));
    EXPECT_TRUE(IsNonTextProperty("SQL.Strings.12", names));
    EXPECT_FALSE(IsNonTextProperty("Font.Name.0", names));  // a font name may be translated
    EXPECT_FALSE(IsNonTextProperty("Name.0", names));
    EXPECT_FALSE(IsNonTextProperty("Items.Strings.3", names));
    EXPECT_FALSE(IsNonTextProperty("Items.3", names));  // a list item is no property of its own
    EXPECT_FALSE(IsNonTextProperty("MyLCLVersion.0", names));  // whole parts only
    EXPECT_FALSE(IsNonTextProperty("Caption.0", names));
    EXPECT_FALSE(IsNonTextProperty("Caption.0", {"", "  "}));  // blank entries take nothing
    EXPECT_FALSE(IsNonTextProperty("LCLVersion", names));      // no key without its number
}

TEST(FormScanner, StringsOfNonTextPropertiesAreStoredIgnored) {
    ScanTables t;
    t.non_text = {"lclversion", "TIPropertyName", "DataField", "OKButton.Name"};
    t.Scan(Lines({"object Form1: TForm1",
                  "  Caption = 'Path'",
                  "  LCLVersion = '2.2.6.0'",
                  "  object Link1: TTIEdit",
                  "    Link.TIPropertyName = 'Path'",
                  "    Font.Name = 'Sans'",
                  "  end",
                  "  object ButtonPanel1: TButtonPanel",
                  "    OKButton.Name = 'OKButton'",
                  "    OKButton.Caption = '&OK'",
                  "  end",
                  "  object Grid1: TDBGrid",
                  "    Columns = <",
                  "      item",
                  "        FieldName = 'Path'",
                  "        Title.Caption = 'Path'",
                  "      end>",
                  "    DataField = 'PATH'",
                  "  end",
                  "end"}));
    std::vector<std::pair<std::string, bool>> ignored;
    t.forms.set_index_name("");
    for (t.forms.first(); !t.forms.eof(); t.forms.next())
        ignored.emplace_back(t.forms.text("Property"), t.forms.logical("Ignore"));
    EXPECT_EQ(ignored, (std::vector<std::pair<std::string, bool>>{{"Caption.0", false},
                                                                  {"LCLVersion.0", true},
                                                                  {"Link.TIPropertyName.0", true},
                                                                  {"Font.Name.0", false},
                                                                  {"OKButton.Name.0", true},
                                                                  {"OKButton.Caption.0", false},
                                                                  {"FieldName.0", false},
                                                                  {"Title.Caption.0", false},
                                                                  {"DataField.0", true}}));
}

TEST(FormScanner, ARescanIgnoresUntranslatedRowsOfPropertiesListedSince) {
    ScanTables t;
    const std::string form =
        Lines({"object Form1: TForm1", "  LCLVersion = '2.2.6.0'", "  object Link1: TTIEdit",
               "    Link.TIPropertyName = 'Path'", "  end", "  object Link2: TTIEdit",
               "    Link.TIPropertyName = 'Name'", "  end", "  object Link3: TTIEdit",
               "    Link.TIPropertyName = 'Size'", "  end", "  Caption = 'Path'", "end"});
    t.Scan(form);
    ASSERT_EQ(t.forms.record_count(), 5);
    // Before the list: the user translated one such row and typed a translation into another.
    t.forms.set_index_name("");
    t.forms.first();
    t.forms.next();  // Link1: translated
    t.forms.edit();
    t.forms.set_text("TranslateString", "Pfad");
    t.forms.set_logical("Translated", true);
    t.forms.post();
    t.forms.next();  // Link2: a translation, not (yet) marked
    t.forms.edit();
    t.forms.set_text("TranslateString", "Name");
    t.forms.post();

    t.non_text = {"LCLVersion", "TIPropertyName"};
    EXPECT_EQ(t.Scan(form), 5);
    EXPECT_EQ(t.forms.record_count(), 5);
    std::vector<bool> ignored;
    t.forms.set_index_name("");
    for (t.forms.first(); !t.forms.eof(); t.forms.next()) {
        ignored.push_back(t.forms.logical("Ignore"));
        EXPECT_FALSE(t.forms.logical("Changed"));
    }
    // The version and Link3 are taken out; the rows the user translated stay as they are.
    EXPECT_EQ(ignored, (std::vector<bool>{true, false, false, true, false}));

    // A changed value of an untranslated row is updated and stays ignored.
    t.Scan(Lines({"object Form1: TForm1", "  LCLVersion = '3.0.0.3'", "end"}));
    t.forms.set_index_name("");
    t.forms.first();
    EXPECT_EQ(t.forms.text("OriginalString"), "3.0.0.3");
    EXPECT_TRUE(t.forms.logical("Changed"));
    EXPECT_TRUE(t.forms.logical("Ignore"));
}

TEST(FormScanner, FormsOfTheSameNameInTwoFoldersGetTwoUnitsRows) {
    ScanTables t;
    const std::string text = "object Form1: TForm1\r\n  Caption = 'Same'\r\nend\r\n";
    t.Scan(text, "/p/a/Unit1.dfm");
    t.Scan(text, "/p/b/Unit1.dfm");
    t.Scan(text, "/p/a/Unit1.dfm");
    EXPECT_EQ(t.units.record_count(), 2);
    EXPECT_EQ(t.forms.record_count(), 2);
    // A form without strings adds no units row.
    t.Scan("object Form3: TForm3\r\nend\r\n", "/p/Empty.dfm");
    EXPECT_EQ(t.units.record_count(), 2);
}

TEST(FormScanner, ABrokenTextFailsBeforeAnyRowIsWritten) {
    ScanTables t;
    try {
        t.Scan("object Form1: TForm1\r\n  Caption = 'One'\r\nend\r\nend\r\n  Caption = 'Two'\r\n");
        FAIL() << "an end that closes nothing must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("/p/Unit1.dfm: line 4"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(t.forms.record_count(), 0);
    EXPECT_EQ(t.units.record_count(), 0);
    EXPECT_THROW(t.Scanner().Scan(t.work.file("missing.txt"), "/p/x.dfm"), Error);
}

}  // namespace
}  // namespace lexorin::forms
