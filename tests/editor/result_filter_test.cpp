#include "editor/result_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "store/table_files.h"
#include "store/translation_tables.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::editor;

TEST(ResultFilterText, UnitClickBuildsTheFilterOfTheClickedLine) {
    EXPECT_EQ(UnitClickFilter("greetings.pas", 5, {true, true, false}),
              "unitname=5 and Ignore=0 and TranslateString=''");
    EXPECT_EQ(UnitClickFilter("greetings.pas", 5, {}), "unitname=5");
    EXPECT_EQ(UnitClickFilter("(Show all)", 1, {false, false, true}), "unitname<>1 and Changed=1");
    EXPECT_EQ(UnitClickFilter("(SHOW all)", 1, {}), "unitname<>1");  // compared upper-cased
    EXPECT_EQ(UnitClickFilter("(Show all) ", 1, {}), "unitname=1");  // only the row itself
    EXPECT_EQ(ChoicesFilter({}), "");
    EXPECT_EQ(ChoicesFilter({true, true, true}), "Ignore=0 and TranslateString='' and Changed=1");
    EXPECT_EQ(ChoicesFilter({false, true, false}), "TranslateString=''");
}

class ResultFilterTable : public ::testing::Test {
  protected:
    void SetUp() override {
        store::create_table(dir.file("pascal.db"), store::pascal_schema());
        pascal.open();
        // Index, OriginalString, TranslateString, UnitName, Translated, Ignore, Context, NewLine,
        // OriginalLine, SpacesAtEnd, Changed
        pascal.append_record({0, "Hello", "", 2, false, false, "", 1, 1, 0, false});
        pascal.append_record({0, "Bye", "Tschuess", 2, false, false, "", 2, 2, 0, false});
        pascal.append_record({0, "Abc", "", 3, false, true, "", 3, 3, 0, false});
        pascal.append_record({0, "Open", "Oeffnen", 3, true, false, "", 4, 4, 0, true});
        pascal.append_record({0, "Zoo", "", 2, true, false, "", 5, 5, 0, true});
        pascal.flush();
    }
    std::vector<std::string> originals(const std::string& filter) {
        pascal.set_filtered(false);
        pascal.set_filter(filter);
        pascal.set_filtered(true);
        std::vector<std::string> seen;
        for (pascal.first(); !pascal.eof(); pascal.next())
            seen.push_back(pascal.text(store::field::OriginalString));
        return seen;
    }
    using Texts = std::vector<std::string>;

    lexorin::testing::TempDir dir;
    store::Session session;
    store::Table pascal{session, dir.path(), "pascal.db"};
};

TEST_F(ResultFilterTable, FiltersNarrowThePascalTableAsTheBoxesSay) {
    EXPECT_EQ(originals(UnitClickFilter("(Show all)", 1, {})),
              (Texts{"Hello", "Bye", "Abc", "Open", "Zoo"}));
    EXPECT_EQ(originals(UnitClickFilter("a.pas", 2, {})), (Texts{"Hello", "Bye", "Zoo"}));
    // A translation hides the row although it is not marked translated; an empty translation
    // keeps it although it is.
    EXPECT_EQ(originals(UnitClickFilter("a.pas", 2, {false, true, false})),
              (Texts{"Hello", "Zoo"}));
    EXPECT_EQ(originals(UnitClickFilter("b.pas", 3, {true, false, false})), (Texts{"Open"}));
    EXPECT_EQ(originals(UnitClickFilter("(Show all)", 1, {false, false, true})),
              (Texts{"Open", "Zoo"}));
    EXPECT_EQ(originals(ChoicesFilter({true, true, false})), (Texts{"Hello", "Zoo"}));
}
