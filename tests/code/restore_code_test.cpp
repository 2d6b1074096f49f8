// RestoreCode on real units and tables: scanned units come back byte for byte (line ends
// aside), partly restored units keep their other references, markers and line numbers, and
// units that cannot be written keep their rows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "base/errors.h"
#include "base/text_utils.h"
#include "code/restore_code.h"
#include "code/restore_journal.h"
#include "project/file_walker.h"
#include "project/language_list.h"
#include "store/table_files.h"
#include "store/transcopy.h"
#include "support/recording_reporter.h"
#include "table_fixture.h"

namespace lexorin::code {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::read_test_file;
using lexorin::testing::write_test_file;

// A unit as its lines read, whatever its line ends.
std::string Normalized(const std::string& text) {
    return join_text_lines(read_text_lines(text));
}

struct RowState {
    bool ignore = false;
    std::int64_t new_line = 0;
    bool operator==(const RowState&) const = default;
};
void PrintTo(const RowState& row, std::ostream* out) {
    *out << "{Ignore " << row.ignore << ", NewLine " << row.new_line << "}";
}

class RestoreCodeTest : public ::testing::Test, protected test::CodeTables {
  protected:
    void SetUp() override {
        store::create_table(tables.file("Demo_German_pascal.db"), store::pascal_schema());
        journal = std::make_unique<RestoreJournal>(folder(), "Demo");
        NewBatch({.restore_journal = journal.get()});
    }
    std::string Unit(const std::string& name, const std::string& text) {
        write_test_file(sources.file(name), text);
        originals[sources.file(name)] = text;
        return sources.file(name);
    }
    // Scans every unit and copies the new rows to the second language, as a scan does.
    void ScanAll(const std::string& masks = "*.pas") {
        for (const auto& unit : project::CollectFiles(sources.path(), true, masks, {}))
            ScanUnit(unit);
        pascal.flush();
        store::CopyRows(session, tables.path(), "Demo_English_pascal.db", "Demo_German_pascal.db",
                        store::TableKind::Pascal, nullptr);
    }
    RestoreReport Restore(const RestoreSelection& selection = {}) {
        ProjectCodeTables code_tables(folder(), "Demo", LanguageList{{"English", "German"}, 0});
        return RestoreCode(code_tables, selection, reporter);
    }
    std::map<std::int64_t, RowState> Rows(const std::string& language) {
        store::Table table(session, tables.path(), "Demo_" + language + "_pascal.db");
        table.open();
        std::map<std::int64_t, RowState> rows;
        for (table.first(); !table.eof(); table.next())
            rows[table.integer("Index")] = {table.logical("Ignore"), table.integer("NewLine")};
        return rows;
    }
    std::int64_t IndexOf(const std::string& original) {
        for (pascal.first(); !pascal.eof(); pascal.next())
            if (pascal.text("OriginalString") == original) return pascal.integer("Index");
        ADD_FAILURE() << "no row " << original;
        return 0;
    }
    // Byte for byte, apart from the line ends of a unit that was rewritten (always CR LF).
    void ExpectEveryUnitAsBefore() {
        for (const auto& [path, text] : originals) {
            const std::string now = read_test_file(path);
            if (now != text) {
                EXPECT_EQ(now, Normalized(text)) << path;
            }
        }
    }

    std::unique_ptr<RestoreJournal> journal;
    std::map<std::string, std::string> originals;
    lexorin::testing::RecordingReporter reporter;
};

TEST_F(RestoreCodeTest, TheDemoProjectComesBackWhole) {
    fs::copy(LEXORIN_SOURCE_DIR "/examples/demo/src", sources.path(), fs::copy_options::recursive);
    fs::remove_all(sources.file("tools"));  // excluded from the demo project
    for (const auto& unit : project::CollectFiles(sources.path(), true, "*.pas", {}))
        originals[unit] = read_test_file(unit);
    ScanAll();
    const std::string mainform = read_test_file(sources.file("mainform.pas"));
    ASSERT_NE(mainform.find("{$R *.tra.res}"), std::string::npos);
    ASSERT_NE(mainform.find("''+s_"), std::string::npos);
    ASSERT_EQ(journal->Units().size(), 2u);

    RestoreReport report = Restore();
    EXPECT_TRUE(report.failed.empty());
    EXPECT_TRUE(report.without_reference.empty());
    EXPECT_EQ(report.rows.size(), static_cast<size_t>(pascal.record_count()));
    EXPECT_EQ(report.whole_units.size(), 2u);
    ExpectEveryUnitAsBefore();
    // Every row stays, marked as given back, in both languages.
    for (const char* language : {"English", "German"}) {
        auto rows = Rows(language);
        EXPECT_EQ(rows.size(), report.rows.size());
        for (const auto& [index, row] : rows)
            EXPECT_EQ(row, (RowState{true, 0})) << language << " row " << index;
    }
    EXPECT_TRUE(journal->Units().empty());

    // The report names the line each literal is back on.
    bool found = false;
    for (const auto& row : report.rows)
        if (row.unit == sources.file("greetings.pas") && row.line == 22)
            found = row.text == "  Result := 'Hello, ' + Name + '!';";
    EXPECT_TRUE(found);

    // A second restore finds nothing to do and changes nothing.
    report = Restore();
    EXPECT_TRUE(report.rows.empty());
    EXPECT_TRUE(report.without_reference.empty());
    ExpectEveryUnitAsBefore();
}

TEST_F(RestoreCodeTest, CommentsLineEndsBlanksAndMissingPartsComeBackExactly) {
    Unit("comments.pas",
         "unit comments;\ninterface\nuses SysUtils;\nimplementation\n"
         "{ a comment 'inside'\n  still 'inside' } X := 'after the brace';\n"
         "(* paren 'in'\n*) Y := 'after the paren'; { tail 'no' }\n"
         "procedure P; begin S := 'Hello there'; { why } end;\nend.\n");
    Unit("cr_only.pas",
         "unit cr_only;\rinterface\ruses SysUtils;\rimplementation\rprocedure P;\rbegin\r"
         "  ShowMessage('Hi there');\rend;\rend.\r");
    Unit("no_uses.pas",
         "unit no_uses;\ninterface\nimplementation\nprocedure P;\nbegin\n"
         "  Writeln('No uses here');\nend;\nend.");
    // No literal at all: only the form directive changes; the uses line needs no glue unit.
    Unit("form_only.pas",
         "unit form_only;\r\ninterface\r\n  Uses  Forms;\r\nimplementation\r\n  {$r *.dfm}  \r\n"
         "end.\r\n");
    Unit("blanks.pas",
         "unit blanks;\ninterface\n  Uses  SysUtils, Classes;   \nimplementation\nprocedure P;\n"
         "begin\n  S := 'Padded   ' + 'Don''t' + #13 + 'a ' + 'a ';\nend;\nend.\n");
    Unit("plain.pas", "unit plain;\ninterface\nimplementation\nend.\n");
    ScanAll();
    for (const char* changed : {"comments.pas", "cr_only.pas", "no_uses.pas", "blanks.pas"})
        ASSERT_NE(read_test_file(sources.file(changed)).find("''+s_"), std::string::npos)
            << changed;
    ASSERT_NE(read_test_file(sources.file("form_only.pas")).find("{$R *.tra.res}"),
              std::string::npos);

    RestoreReport report = Restore();
    EXPECT_TRUE(report.failed.empty());
    ExpectEveryUnitAsBefore();
    EXPECT_EQ(report.whole_units.size(), 5u);  // plain.pas was never changed
    EXPECT_TRUE(journal->Units().empty());
}

// A Lazarus project: form units linking their .lfm forms, and the program file (.lpr), whose
// statement part is taken although the interface parts are left alone.
TEST_F(RestoreCodeTest, LazarusFormUnitsAndProgramFileComeBackExactly) {
    Unit("unit1.pas",
         "unit unit1;\n\n{$mode objfpc}{$H+}\n\ninterface\n\nuses\n  Classes, SysUtils;\n\n"
         "implementation\n\n{$R *.lfm}\n\nprocedure P;\nbegin\n  Writeln('From unit one');\n"
         "end;\n\nend.\n");
    Unit("settings.pas",
         "unit settings;\n{$mode objfpc}{$H+}\ninterface\nimplementation\n  {$r Settings.LFM} \n"
         "end.\n");
    Unit("about.pas",
         "unit about;\ninterface\nuses Classes;\nimplementation\n{$RESOURCE 'about.lfm'}\n"
         "initialization\n  Writeln('About text');\nend.\n");
    Unit("project1.lpr",
         "program project1;\n\n{$mode objfpc}{$H+}\n\nuses\n  {$IFDEF UNIX}\n  cthreads,\n"
         "  {$ENDIF}\n  Classes, unit1, settings, about\n  { you can add units after this };\n\n"
         "{$R *.res}\n\nbegin\n  Writeln('Hello from the program');\nend.\n");
    ScanAll("*.pas;*.lpr");
    EXPECT_EQ(pascal.record_count(), 3);
    const std::string program = read_test_file(sources.file("project1.lpr"));
    EXPECT_NE(program.find("Writeln(''+s_"), std::string::npos) << program;
    EXPECT_NE(program.find("\r\n{$R *.res}\r\n"), std::string::npos) << "no form: " << program;
    EXPECT_NE(read_test_file(sources.file("unit1.pas"))
                  .find("{$ifndef TranslatedForm}\r\n{$R *.lfm}\r\n{$else}\r\n{$R *.tra.res}"),
              std::string::npos);
    EXPECT_NE(read_test_file(sources.file("settings.pas")).find("{$R Settings.tra.res}"),
              std::string::npos);
    EXPECT_NE(read_test_file(sources.file("about.pas")).find("{$R about.tra.res}"),
              std::string::npos);

    // A rescan switches nothing twice.
    std::map<std::string, std::string> scanned;
    for (const auto& [path, text] : originals) scanned[path] = read_test_file(path);
    ScanAll("*.pas;*.lpr");
    EXPECT_EQ(pascal.record_count(), 3);
    for (const auto& [path, text] : scanned) EXPECT_EQ(read_test_file(path), text) << path;

    RestoreReport report = Restore();
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(report.whole_units.size(), 4u);
    ExpectEveryUnitAsBefore();
    EXPECT_TRUE(journal->Units().empty());
}

// A unit the older version rewrote links {$R *.DFM} and {$R *.TRA}; a rescan gives it the
// directive as the user wrote it, kept in the journal, and the translated form's resource file,
// and restoring still gives the unit back as it was.
TEST_F(RestoreCodeTest, ARescanMendsTheOlderSwitchBlockFromTheJournal) {
    const std::string original =
        "unit form;\ninterface\nuses Forms;\nimplementation\n  {$r *.dfm}\n"
        "procedure P; begin Caption := 'Title'; end;\nend.\n";
    const std::string path = Unit("form.pas", original);
    ScanAll();
    std::string older = read_test_file(path);
    const std::string block =
        "{$ifndef TranslatedForm}\r\n  {$r *.dfm}\r\n{$else}\r\n"
        "{$R *.tra.res}\r\n";
    ASSERT_NE(older.find(block), std::string::npos) << older;
    older.replace(older.find(block), block.size(),
                  "{$ifndef TranslatedForm}\r\n{$R *.DFM}\r\n{$else}\r\n{$R *.TRA}\r\n");
    write_test_file(path, older);

    const int rows = pascal.record_count();
    ScanAll();
    EXPECT_EQ(pascal.record_count(), rows);
    EXPECT_NE(read_test_file(path).find(block), std::string::npos) << read_test_file(path);
    Restore();
    EXPECT_EQ(read_test_file(path), Normalized(original));
}

// A unit rewritten by a version that kept no journal gets its structural lines rebuilt; only
// the indentation and letter case of the uses line are lost.
TEST_F(RestoreCodeTest, UnitsWithoutJournalEntryGetTheInverseOfTheRewrite) {
    std::string path = Unit("form.pas",
                            "unit form;\ninterface\n  Uses  Forms;\nimplementation\n{$R *.DFM}\n"
                            "procedure P; begin Caption := 'Title'; end;\nend.\n");
    ScanAll();
    journal->Empty();
    Restore();
    EXPECT_EQ(read_test_file(path),
              Normalized("unit form;\ninterface\nuses  Forms;\nimplementation\n{$R *.DFM}\n"
                         "procedure P; begin Caption := 'Title'; end;\nend.\n"));
}

TEST_F(RestoreCodeTest, AUnitScannedTwiceWithNewLiteralsInBetweenComesBack) {
    std::string path = Unit("twice.pas",
                            "unit twice;\ninterface\nuses SysUtils;\nimplementation\n"
                            "procedure P;\nbegin\n  Caption := 'First';\nend;\nend.\n");
    ScanAll();
    // The user goes on working on the rewritten unit: a literal beside a reference, and a new
    // line with a literal.
    std::string text = read_test_file(path);
    const std::string rewritten = "  Caption := ''+s_1+'';";
    ASSERT_NE(text.find(rewritten), std::string::npos) << text;
    text.replace(text.find(rewritten), rewritten.size(),
                 "  Caption := ''+s_1+'' + 'Second';\r\n  Hint := 'Third';");
    write_test_file(path, text);
    ScanAll();
    ASSERT_EQ(pascal.record_count(), 3);

    // The first row's recorded line is stale now; it is found all the same, and the marker of
    // the second scan, which recorded the line as it reads then, goes with it.
    RestoreReport report = Restore({{}, {1}});
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].text, "  Caption := 'First' + ''+s_2+'';");
    EXPECT_TRUE(report.whole_units.empty());

    report = Restore({{"twice.pas"}, {}});
    EXPECT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(read_test_file(path),
              Normalized("unit twice;\ninterface\nuses SysUtils;\nimplementation\n"
                         "procedure P;\nbegin\n  Caption := 'First' + 'Second';\n"
                         "  Hint := 'Third';\nend;\nend.\n"));
}

TEST_F(RestoreCodeTest, SomeRowsComeBackAndTheOthersKeepTheirLines) {
    std::string path = Unit("part.pas",
                            "unit part;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                            "  A('one', 'two');\n  B('three');\nend;\nend.\n");
    ScanAll();
    auto before = Rows("German");
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[3].new_line, 9);

    // 'two' comes back; 'one' is still a reference, so the line keeps its marker.
    RestoreReport report = Restore({{}, {2}});
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].line, 7);
    EXPECT_EQ(report.rows[0].text, "  A(''+s_1+'', 'two');");
    std::vector<std::string> lines = read_text_lines(read_test_file(path));
    EXPECT_EQ(lines[5], "//TL:A('one', 'two');");
    for (const char* language : {"English", "German"}) {
        auto rows = Rows(language);
        EXPECT_EQ(rows[2], (RowState{true, 0})) << language;
        EXPECT_EQ(rows[1], (RowState{false, 7})) << language;
        EXPECT_EQ(rows[3], (RowState{false, 9})) << language;
    }

    // With 'one' back the marker goes, and the row below moves up one line in every language.
    report = Restore({{}, {1}});
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.rows[0].line, 6);
    EXPECT_EQ(report.rows[0].text, "  A('one', 'two');");
    for (const char* language : {"English", "German"}) {
        auto rows = Rows(language);
        EXPECT_EQ(rows[3], (RowState{false, 8})) << language;
        EXPECT_EQ(rows[1], (RowState{true, 0})) << language;
    }
    lines = read_text_lines(read_test_file(path));
    EXPECT_EQ(lines[7], "  B(''+s_3+'');");
    EXPECT_TRUE(report.whole_units.empty());

    report = Restore({{path}, {}});
    EXPECT_EQ(report.whole_units, std::vector<std::string>{path});
    ExpectEveryUnitAsBefore();
}

TEST_F(RestoreCodeTest, UnitsThatCannotBeWrittenKeepTheirRowsAndTheOthersComeBack) {
    std::string locked = Unit("locked.pas",
                              "unit locked;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                              "  A('locked text');\nend;\nend.\n");
    std::string gone = Unit("gone.pas",
                            "unit gone;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                            "  A('gone text');\nend;\nend.\n");
    std::string fine = Unit("fine.pas",
                            "unit fine;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                            "  A('fine text');\nend;\nend.\n");
    ScanAll();
    const std::string locked_text = read_test_file(locked);
    ::chmod(locked.c_str(), 0444);
    fs::remove(gone);
    auto before = Rows("German");

    RestoreReport report = Restore();
    ::chmod(locked.c_str(), 0644);
    ASSERT_EQ(report.failed.size(), 2u);
    std::map<std::string, std::string> failed(report.failed.begin(), report.failed.end());
    EXPECT_NE(failed[locked].find("read-only"), std::string::npos) << failed[locked];
    EXPECT_NE(failed[gone].find("does not exist"), std::string::npos) << failed[gone];
    EXPECT_EQ(read_test_file(locked), locked_text);
    EXPECT_EQ(read_test_file(fine), Normalized(originals[fine]));
    auto after = Rows("German");
    for (const char* text : {"locked text", "gone text"})
        EXPECT_EQ(after[IndexOf(text)], before[IndexOf(text)]) << text;
    EXPECT_EQ(after[IndexOf("fine text")], (RowState{true, 0}));
}

TEST_F(RestoreCodeTest, ASelectionOfNoScannedUnitOrRowChangesNothing) {
    std::string path = Unit("u.pas",
                            "unit u;\ninterface\nimplementation\nprocedure P;\nbegin\n"
                            "  A('some text');\nend;\nend.\n");
    ScanAll();
    const std::string rewritten = read_test_file(path);
    EXPECT_THROW(Restore({{"other.pas"}, {}}), Error);
    EXPECT_THROW(Restore({{"u.pas"}, {99}}), Error);
    EXPECT_EQ(read_test_file(path), rewritten);
    EXPECT_EQ(Rows("English")[1], (RowState{false, 7}));
}

TEST_F(RestoreCodeTest, AProjectWithoutLanguagesHasNoTablesToRestoreFrom) {
    try {
        ProjectCodeTables code_tables(folder(), "Demo", LanguageList{});
        FAIL() << "tables without a language";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "You have to add a language first.");
    }
}

}  // namespace
}  // namespace lexorin::code
