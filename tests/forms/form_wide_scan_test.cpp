// Wide strings and embedded frames in the form scanner and the translated form writer.
#include <gtest/gtest.h>

#include <map>

#include "base/text_utils.h"
#include "forms/form_scanner.h"
#include "forms/form_translation_writer.h"
#include "forms/form_wide_line.h"

namespace lexorin::forms {
namespace {

const std::vector<std::string> kForm = {
    "object Form1: TForm1",
    "  Caption = 'Gr'#252#223'e '#8364",
    "  Hint = 'Fenster '#322'a'",
    "  inline Frame1: TFrame1",
    "    Title = #1047#1072#1075",
    "    Items.Strings = (",
    "      'Caf'#233' '",
    "      #1047 +",
    "      'x'#233)",
    "    object Label1: TLabel",
    "      Caption = 'OK'",
    "    end",
    "  end",
    "  Tag = 1",
    "end",
};

TEST(WideFormStrings, ScannedInTheCodePageOrKeptAndIgnored) {
    std::vector<FormString> rows = FindFormStrings(kForm, {}, "f.dfm", nullptr);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].object, ".FORM1");
    EXPECT_EQ(rows[0].original,
              "Gr\xFC\xDF"
              "e \x80");  // Windows-1252
    EXPECT_FALSE(rows[0].ignore);
    EXPECT_TRUE(rows[0].note.empty());
    // U+0142 is no Windows-1252 character: the string stays as the form writes it, ignored,
    // with the reason; never a '?'.
    EXPECT_EQ(rows[1].original, "'Fenster '#322'a'");
    EXPECT_TRUE(rows[1].ignore);
    EXPECT_NE(rows[1].note.find("U+0142"), std::string::npos) << rows[1].note;
    // The frame's strings lie below it, as below any object.
    EXPECT_EQ(rows[2].object, ".FORM1.FRAME1");
    EXPECT_EQ(rows[2].property, "Title.0");
    EXPECT_EQ(rows[2].original, "#1047#1072#1075");
    EXPECT_TRUE(rows[2].ignore);
    EXPECT_EQ(rows[3].property, "Items.Strings.0");
    EXPECT_EQ(rows[3].original, "Caf\xE9 ");
    EXPECT_EQ(rows[3].spaces_at_end, 1);
    EXPECT_EQ(rows[4].original, "#1047");  // a piece ending in " +"
    EXPECT_EQ(rows[5].original, "x\xE9");  // the last element, before its ")"
    EXPECT_EQ(rows[5].property, "Items.Strings.2");
    EXPECT_EQ(rows[6].object, ".FORM1.FRAME1.LABEL1");
    EXPECT_EQ(rows[6].original, "OK");

    // In a Cyrillic code page the frame's title is text like any other.
    CodePage cyrillic("CP1251");
    rows = FindFormStrings(kForm, {}, "f.dfm", nullptr, &cyrillic);
    EXPECT_EQ(rows[2].original, "\xC7\xE0\xE3");
    EXPECT_FALSE(rows[2].ignore);
    EXPECT_TRUE(rows[1].ignore);  // U+0142 is no CP1251 character either
}

TEST(WideFormStrings, TranslationsGoBackInTheWideLayout) {
    std::map<std::string, FormTranslation> table = {
        {".FORM1|Caption.0",
         {"Gr\xFC\xDF"
          "e \x80",
          "Gr\xFC\xDF dich \x80 'n", 0}},
        {".FORM1|Hint.0", {"'Fenster '#322'a'", "Okno", 0}},
        {".FORM1.FRAME1|Items.Strings.0", {"Caf\xE9", "Kaffee", 1}},
        {".FORM1.FRAME1|Items.Strings.2", {"X\xE9", "y", 0}},  // case of a-z differs: found
        {".FORM1.FRAME1.LABEL1|Caption.0", {"OK", "Gut", 0}},
    };
    auto lookup = [&](const std::string& object,
                      const std::string& property) -> std::optional<FormTranslation> {
        auto found = table.find(object + "|" + property);
        if (found == table.end()) return std::nullopt;
        return found->second;
    };
    TranslatedFormText text = TranslateFormLines(kForm, lookup, "f.dfm", nullptr);
    std::vector<std::string> expected = kForm;
    expected[1] = "  Caption = 'Gr'#252#223' dich '#8364' '#39'n'";
    expected[2] = "  Hint = 'Okno'";
    expected[6] = "      'Kaffee '";
    expected[8] = "      'y')";
    expected[10] = "      Caption = 'Gut'";
    EXPECT_EQ(text.lines, expected);
    EXPECT_EQ(text.replaced, 5);
    EXPECT_EQ(text.translated_lines, (std::vector<std::size_t>{1, 2, 6, 8, 10}));
}

TEST(WideFormStrings, WhichLinesHoldAWideString) {
    EXPECT_FALSE(FindWideString("  Caption = 'plain'"));
    EXPECT_FALSE(FindWideString("  Caption = 'It'#39's'#13#10"));  // 8-bit codes only
    EXPECT_FALSE(FindWideString("  Caption = 'a'#322 x"));         // no string piece
    EXPECT_FALSE(FindWideString("  Caption = #55357"));            // half a pair
    EXPECT_FALSE(FindWideString("  Caption = 'open#322"));
    auto found = FindWideString("  Caption = 'a'''#322 +");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->units, u"a'\u0142");
    EXPECT_EQ(found->begin, 12u);
    EXPECT_EQ(found->end, 21u);
}

}  // namespace
}  // namespace lexorin::forms
