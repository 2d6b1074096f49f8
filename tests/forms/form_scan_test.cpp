// The Scan forms and Write changes -> Forms operations on a real project: a Projects table, the
// language tables in a program directory and form files of both kinds in a source tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "app/commands.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "codec/form_conversion.h"
#include "codec/form_text_to_binary.h"
#include "codec/form_text_writer.h"
#include "codec/resource_file.h"
#include "editor/post_rules.h"
#include "forms/form_scan.h"
#include "forms/form_write_changes.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/projects_table.h"
#include "store/string_tables.h"
#include "store/table_files.h"
#include "support/long_line_forms.h"
#include "support/test_support.h"

namespace lexorin::forms {
namespace {

using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;
namespace field = project::field;

class Recorder : public Reporter {
  public:
    void status(const std::string& t) override {
        if (t.rfind("Copying ", 0) == 0) copying.push_back(t);
    }
    void progress(int, int, const std::string&) override {}
    void error(const std::string& t) override { errors.push_back(t); }
    void warning(const std::string& t) override { warnings.push_back(t); }
    void information(const std::string& t) override { infos.push_back(t); }
    bool confirm(const std::string& q) override {
        questions.push_back(q);
        return answer;
    }
    std::string ask_text(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool answer = true;
    std::vector<std::string> copying, errors, warnings, infos, questions;
};

const char kMainText[] =
    "object MainForm: TMainForm\r\n"
    "  Caption = 'Main'\r\n"
    "  Font.Name = 'MS Sans Serif'\r\n"
    "  object Button1: TButton\r\n"
    "    Caption = 'factory'\r\n"
    "  end\r\n"
    "end\r\n";
const char kNotesText[] =
    "object NotesForm: TNotesForm\r\n"
    "  Caption = 'Notes'\r\n"
    "end\r\n";

// The project Demo with German (selected) and French, its binary form main.dfm and the text
// form sub/notes.dfm, and a form in the excluded folder.
class FormOperations : public ::testing::Test {
  protected:
    void SetUp() override {
        // The private temporary directories go here, so that the test sees them go.
        const char* old = std::getenv("TMPDIR");
        old_tmpdir_ = old ? old : "";
        had_tmpdir_ = old != nullptr;
        ::setenv("TMPDIR", scratch.path().c_str(), 1);

        write_test_file(src("main.dfm"), codec::FormTextToResource(kMainText));
        write_test_file(src("sub/notes.dfm"), kNotesText);
        write_test_file(src("tools/hidden.dfm"),
                        "object Hidden: TForm\r\n  Caption = 'x'\r\nend\r\n");
        store::ensure_templates(home.path());
        project::add_project(data.Projects,
                             {"Demo", dir.file("src"), true, {dir.file("src/tools")}});
        for (const char* language : {"German", "French"})
            ASSERT_TRUE(project::AddLanguage(folder, data.Projects, languages, language, reporter));
        data.Projects.edit();
        data.Projects.set_text(field::Funwantedstrings, "Font.Name");
        data.Projects.post();
        languages.selected = 0;
        strings.emplace(folder, "Demo", "German");
        form_files.emplace(folder, "Demo");
        reporter.copying.clear();
    }
    void TearDown() override {
        if (had_tmpdir_)
            ::setenv("TMPDIR", old_tmpdir_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    std::string src(const std::string& name) const { return dir.file("src/" + name); }
    bool scratch_is_empty() const { return std::filesystem::is_empty(scratch.path()); }
    // Original, translation and ignore flag of the rows of a language's forms table.
    std::vector<std::string> rows(const std::string& language) {
        store::Table table(session, home.path(), "Demo_" + language + "_forms.db");
        table.open();
        std::vector<std::string> out;
        for (table.first(); !table.eof(); table.next())
            out.push_back(table.text("OriginalString") + "|" + table.text("TranslateString") + "|" +
                          table.text("Ignore"));
        return out;
    }
    void translate(std::int64_t index, const std::string& text) {
        store::Table& forms = strings->table();
        forms.set_index_name("");
        ASSERT_TRUE(forms.find_key({index}));
        forms.edit();
        forms.set_text("TranslateString", text);
        forms.post();
    }
    // The Scan button on German, wide strings read in `code_page`.
    FormScanReport scan(const CodePage& code_page = CodePage()) {
        return RunFormScan(folder, *strings, *form_files, data.Projects, languages, code_page,
                           reporter);
    }
    // Write changes -> Forms from German, translations written in `code_page`: the command, which
    // records the status line.
    FormWriteReport write(const CodePage& code_page = CodePage()) {
        return commands::WriteForms({data.Projects, folder, code_page, languages}, reporter)
            .value();
    }

    TempDir dir;
    TempDir home;
    TempDir scratch;
    store::Session session;
    project::ProjectsTable data{session, dir.path()};
    store::TableFolder folder{session, home.dir()};
    std::optional<store::FormRows> strings;      // German's
    std::optional<store::FormFiles> form_files;  // the project's
    LanguageList languages;
    Recorder reporter;

  private:
    std::string old_tmpdir_;
    bool had_tmpdir_ = false;
};

TEST_F(FormOperations, ScanFillsTheLanguageAndCopiesNewRowsToTheOthers) {
    // Files that are no forms, or broken ones, are listed and add nothing.
    std::string binary = codec::FormTextToResource(kNotesText);
    write_test_file(src("broken.dfm"), binary.substr(0, binary.size() - 5));
    write_test_file(src("junk.dfm"), "just some 'text'\r\n");
    write_test_file(src("nul.dfm"), std::string("object A: TA\0'x'\r\nend\r\n", 22));

    FormScanReport report = scan();
    EXPECT_EQ(report.forms_scanned, 2);
    EXPECT_EQ(report.strings_found, 4);
    ASSERT_EQ(report.skipped.size(), 3u);
    for (const auto& [form, reason] : report.skipped) {
        SCOPED_TRACE(form + ": " + reason);
        if (form == src("broken.dfm"))
            EXPECT_EQ(reason, "byte offset " + std::to_string(binary.size() - 5) +
                                  ": Stream-Read-Fehler (the form ends early: the file is cut "
                                  "short or damaged)");
        else
            EXPECT_NE(reason.find(" in Zeile "), std::string::npos);
    }
    EXPECT_TRUE(scratch_is_empty());

    const std::vector<std::string> german{"Main||Falsch", "MS Sans Serif||Wahr", "factory||Falsch",
                                          "Notes||Falsch"};
    EXPECT_EQ(rows("German"), german);
    // The copies carry no Ignore flag of the scan.
    EXPECT_EQ(rows("French"), (std::vector<std::string>{"Main||Falsch", "MS Sans Serif||Falsch",
                                                        "factory||Falsch", "Notes||Falsch"}));
    EXPECT_EQ(reporter.copying, (std::vector<std::string>{"Copying forms language to German",
                                                          "Copying forms language to French"}));
    EXPECT_TRUE(strings->table().is_open());

    // A second scan adds nothing anywhere.
    report = scan();
    EXPECT_EQ(report.strings_found, 4);
    EXPECT_EQ(rows("German"), german);
    EXPECT_EQ(rows("French").size(), 4u);
    form_files->table().set_index_name("");
    EXPECT_EQ(form_files->record_count(), 2);
}

TEST_F(FormOperations, AWideStringTheCodePageCannotHoldIsIgnoredWithANote) {
    // U+0142 has no place in Windows-1252; U+00E9 has.
    write_test_file(src("wide.dfm"),
                    "object Wide: TForm\r\n  Caption = 'Stra'#322'e'\r\n"
                    "  Hint = 'Caf'#233\r\nend\r\n");
    scan();
    store::Table table(session, home.path(), "Demo_German_forms.db");
    table.open();
    bool seen_wide = false, seen_latin = false;
    for (table.first(); !table.eof(); table.next()) {
        if (table.text("Object") == ".WIDE" && table.text("Property") == "Caption.0") {
            seen_wide = true;
            EXPECT_TRUE(table.logical("Ignore"));
            EXPECT_NE(table.text("Context").find("U+0142"), std::string::npos)
                << table.text("Context");
        }
        if (table.text("Object") == ".WIDE" && table.text("Property") == "Hint.0") {
            seen_latin = true;
            EXPECT_EQ(table.text("OriginalString"), "Caf\xE9");
            EXPECT_FALSE(table.logical("Ignore"));
            EXPECT_EQ(table.text("Context"), "");
        }
    }
    EXPECT_TRUE(seen_wide && seen_latin);
}

TEST_F(FormOperations, WideStringsAreReadInTheProgramsCodePage) {
    // The code page the program started with, which the command passes on: in Windows-1250
    // U+0142 is the byte B3, so the string is kept for translation.
    write_test_file(src("wide.dfm"), "object Wide: TForm\r\n  Caption = 'Stra'#322'e'\r\nend\r\n");
    scan(CodePage("CP1250"));
    store::Table table(session, home.path(), "Demo_German_forms.db");
    table.open();
    bool seen = false;
    for (table.first(); !table.eof(); table.next()) {
        if (table.text("Object") != ".WIDE") continue;
        seen = true;
        EXPECT_EQ(table.text("OriginalString"),
                  "Stra\xB3"
                  "e");
        EXPECT_FALSE(table.logical("Ignore"));
    }
    EXPECT_TRUE(seen);
}

TEST_F(FormOperations, AFormsTableOfTheEarlierLayoutGetsItsContextField) {
    // The German forms table as an earlier version wrote it: without Context, with a row.
    strings.reset();
    const std::string path = home.file("Demo_German_forms.db");
    std::filesystem::remove(path);
    store::TableSchema earlier = store::forms_schema();
    earlier.fields.pop_back();
    store::create_table(path, earlier);
    {
        store::Table old(session, home.path(), "Demo_German_forms.db");
        old.open();
        old.append_record({0, "Kept", "Behalten", 1, true, false, "Main", "Caption", false, 0});
    }
    strings.emplace(folder, "Demo", "German");
    EXPECT_NO_THROW(store::check_schema(strings->table(), store::forms_schema()));
    strings->table().first();
    EXPECT_EQ(strings->table().text("TranslateString"), "Behalten");
    EXPECT_EQ(strings->table().text("Context"), "");
}

TEST_F(FormOperations, DeleteTableAsksFirstAndLeavesTheShowAllRow) {
    scan();
    reporter.answer = false;
    EXPECT_FALSE(DeleteFormTables(folder, "Demo", languages, reporter));
    EXPECT_EQ(rows("French").size(), 4u);
    reporter.answer = true;
    EXPECT_TRUE(DeleteFormTables(folder, "Demo", languages, reporter));
    EXPECT_EQ(reporter.questions.back(),
              "Do you really want to delete your last forms scan and ALL of your translations?");
    EXPECT_TRUE(rows("German").empty());
    EXPECT_TRUE(rows("French").empty());
    EXPECT_EQ(strings->record_count(), 0);  // an open handle sees the emptied table
    ASSERT_EQ(form_files->record_count(), 1);
    form_files->table().first();
    EXPECT_EQ(form_files->table().text("UnitName"), "(Show all)");
    EXPECT_EQ(form_files->table().integer("Index"), 1);
}

TEST_F(FormOperations, WriteGivesEachFormItsTranslatedResourceFile) {
    scan();
    translate(1, "Haupt");
    translate(3, "l'usine");
    FormWriteReport report = write();
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(report.written, (std::vector<std::string>{src("main.dfm"), src("sub/notes.dfm")}));
    EXPECT_EQ(report.strings_replaced, 2);
    EXPECT_TRUE(scratch_is_empty());

    std::string expected = kMainText;
    expected.replace(expected.find("'Main'"), 6, "'Haupt'");
    expected.replace(expected.find("'factory'"), 9, "'l'#39'usine'");
    EXPECT_EQ(read_test_file(src("main.tra.res")),
              codec::FormResourceFile("TMainForm", codec::FormTextToBinary(expected)));
    // Nothing translated in the text form: its resource holds the stream of its text.
    EXPECT_EQ(read_test_file(src("sub/notes.tra.res")),
              codec::FormResourceFile("TNotesForm", codec::FormTextToBinary(kNotesText)));
    EXPECT_FALSE(file_exists(src("tools/hidden.tra.res")));
    EXPECT_EQ(read_test_file(src("main.dfm")), codec::FormTextToResource(kMainText));
    EXPECT_EQ(read_test_file(src("sub/notes.dfm")), kNotesText);

    ASSERT_EQ(reporter.infos.size(), 1u);
    EXPECT_EQ(reporter.infos[0],
              "Forms written correctly.\r\rif you do or did not write the code changes, copy the "
              "files lx_lang.pas and lx_lang.inc from " +
                  home.dir() + " to " + dir.file("src") + ".");
    EXPECT_NE(data.Projects.text(field::Reserve).find("Form changes written in German on "),
              std::string::npos);
}

TEST_F(FormOperations, LazarusFormsWithLongLinesAreScannedAndTranslated) {
    data.Projects.edit();
    data.Projects.set_text(field::FormsExtension, "*.dfm;*.lfm");
    data.Projects.post();
    // A report template of 12,635 bytes on one line, as a real form has it, with quotes and
    // line break codes; and a plain string of a megabyte on one line.
    const lexorin::testing::LongLineForm report = lexorin::testing::ReportFormWithLine(12635);
    const lexorin::testing::LongLineForm big =
        lexorin::testing::ReportFormWithLine(1024 * 1024, true);
    write_test_file(src("report.lfm"), report.text);
    write_test_file(src("big.lfm"), big.text);

    FormScanReport scanned = scan();
    EXPECT_TRUE(scanned.skipped.empty());
    EXPECT_EQ(scanned.forms_scanned, 4);
    EXPECT_EQ(scanned.strings_found, 4 + 3 + 3);
    // Each long line is one string, by the rule for every line: what stands between its first
    // and its last quote (quotes and codes as they stand when the string has any).
    const std::size_t first = report.line.find('\'') + 1;
    const std::string report_template = report.line.substr(first, report.line.size() - 1 - first);
    std::map<std::string, int> originals;
    store::Table& forms = strings->table();
    forms.set_index_name("");
    for (forms.first(); !forms.eof(); forms.next()) ++originals[forms.text("OriginalString")];
    EXPECT_EQ(originals.size(), 8u);
    EXPECT_EQ(originals["Monthly report"], 2);
    EXPECT_EQ(originals["Printed on demand"], 2);
    EXPECT_EQ(originals[report_template], 1);
    EXPECT_EQ(originals[big.template_value], 1);

    // Translations of the short strings and of the megabyte; the template with its codes stays.
    const std::string big_translation = "Seite " + big.template_value;
    for (forms.first(); !forms.eof(); forms.next()) {
        const std::string original = forms.text("OriginalString");
        const std::string translation = original == "Monthly report"      ? "Monatsbericht"
                                        : original == "Printed on demand" ? "Auf Abruf gedruckt"
                                        : original == big.template_value  ? big_translation
                                                                          : "";
        if (translation.empty()) continue;
        forms.edit();
        forms.set_text("TranslateString", translation);
        forms.post();
    }
    FormWriteReport written = write();
    EXPECT_TRUE(written.failed.empty());
    EXPECT_EQ(written.strings_replaced, 5);
    EXPECT_TRUE(scratch_is_empty());
    auto translated = [](std::string text) {
        text.replace(text.find("'Monthly report'"), 16, "'Monatsbericht'");
        text.replace(text.find("'Printed on demand'"), 19, "'Auf Abruf gedruckt'");
        return text;
    };
    EXPECT_TRUE(
        read_test_file(src("report.tra.res")) ==
        codec::FormResourceFile("TReportForm", codec::FormTextToBinary(translated(report.text))));
    std::string big_text = translated(big.text);
    big_text.replace(big_text.find(big.line), big.line.size(),
                     "  Template = '" + big_translation + "'");
    EXPECT_TRUE(read_test_file(src("big.tra.res")) ==
                codec::FormResourceFile("TReportForm", codec::FormTextToBinary(big_text)));
    EXPECT_EQ(read_test_file(src("report.lfm")), report.text);
}

TEST_F(FormOperations, AFormThatFailsKeepsItsOlderFileAndIsNamed) {
    scan();
    write_test_file(src("main.tra.res"), "older");
    write_test_file(src("sub/notes.tra.res"), "older");
    // Bytes the program's code page leaves undefined cannot go into either form.
    translate(1, "\x98");
    translate(4, "Notizen \x98");
    strings->flush();
    FormWriteReport report = write(CodePage("CP1251"));
    EXPECT_TRUE(report.written.empty());
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].second,
              "The translation of .MAINFORM Caption.0 cannot go into the form: The byte 0x98 has "
              "no character in the code page CP1251.");
    EXPECT_EQ(read_test_file(src("main.tra.res")), "older");
    EXPECT_EQ(read_test_file(src("sub/notes.tra.res")), "older");
    EXPECT_TRUE(scratch_is_empty());
    ASSERT_EQ(reporter.warnings.size(), 1u);
    EXPECT_EQ(reporter.warnings[0].rfind(
                  "These forms were not written; their .tra.res files stay as they were:\r", 0),
              0u);
    EXPECT_NE(reporter.warnings[0].find("\r" + src("main.dfm") + ": The translation of .MAINFORM"),
              std::string::npos);
    EXPECT_NE(
        reporter.warnings[0].find("\r" + src("sub/notes.dfm") + ": The translation of .NOTES"),
        std::string::npos);
    EXPECT_TRUE(reporter.infos.empty());  // no success where nothing was written
    EXPECT_EQ(data.Projects.text(field::Reserve).find("Form changes written"), std::string::npos);

    // One form mended: only it is reported written.
    translate(4, "Notizen\r\n");
    strings->flush();
    report = write(CodePage("CP1251"));
    EXPECT_EQ(report.written, (std::vector<std::string>{src("sub/notes.dfm")}));
    EXPECT_EQ(codec::FormStreamOfResourceFile(read_test_file(src("sub/notes.tra.res"))),
              codec::FormTextToBinary(
                  "object NotesForm: TNotesForm\r\n  Caption = 'Notizen'#13#10\r\nend\r\n"));
    ASSERT_EQ(reporter.infos.size(), 1u);
    EXPECT_EQ(reporter.infos[0].rfind("1 of 2 forms written correctly.\r\r", 0), 0u)
        << reporter.infos[0];
}

TEST_F(FormOperations, ATextThatIsNoFormNeverGivesATranslatedForm) {
    // Nested deeper than any reader goes, and no form at all: both are refused by the scan, and
    // neither may come back as a translated form.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "object A" + std::to_string(i) + ": TPanel\r\n";
    deep += "Caption = 'Deep'\r\n";
    for (int i = 0; i < 100000; ++i) deep += "end\r\n";
    write_test_file(src("deep.dfm"), deep);
    write_test_file(src("junk.dfm"), "just some 'text'\r\n");
    FormWriteReport report = write();
    EXPECT_EQ(report.written.size(), 2u);  // main and notes
    ASSERT_EQ(report.failed.size(), 2u);
    for (const auto& [form, reason] : report.failed) {
        SCOPED_TRACE(form + ": " + reason);
        EXPECT_NE(reason.find(" in Zeile "), std::string::npos);
    }
    EXPECT_FALSE(file_exists(src("deep.tra.res")));
    EXPECT_FALSE(file_exists(src("junk.tra.res")));
}

// Free Pascal, as a black box: a program that links the translated forms as they are written and
// turns each form resource, found by its name, into text with the Classes unit.
constexpr char kFreePascalReader[] = R"(program readforms;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
{$R main.tra.res}
{$R notes.tra.res}
procedure Dump(const Name, FileName: string);
var
  res: TResourceStream;
  outS: TFileStream;
begin
  res := TResourceStream.Create(HInstance, Name, RT_RCDATA);
  outS := TFileStream.Create(FileName, fmCreate);
  try
    ObjectBinaryToText(res, outS);
  finally
    outS.Free;
    res.Free;
  end;
end;
begin
  Dump('TMAINFORM', 'main.txt');
  Dump('TNOTESFORM', 'notes.txt');
end.
)";

TEST_F(FormOperations, FreePascalLinksTheTranslatedFormsAndReadsThem) {
    if (lexorin::testing::run_command("command -v fpc").status != 0)
        GTEST_SKIP() << "fpc is not installed";
    scan();
    translate(1, "Fen\xEAtre principale  ");
    translate(3, "l'usine");
    translate(4, "Zwei\r\nZeilen");
    ASSERT_TRUE(write().failed.empty());

    TempDir tool;
    write_test_file(tool.file("readforms.pas"), kFreePascalReader);
    std::filesystem::copy_file(src("main.tra.res"), tool.file("main.tra.res"));
    std::filesystem::copy_file(src("sub/notes.tra.res"), tool.file("notes.tra.res"));
    auto built = lexorin::testing::run_command("cd '" + tool.path() +
                                               "' && fpc -O1 readforms.pas && ./readforms");
    ASSERT_EQ(built.status, 0) << built.out << built.err;
    // Its text layout is its own; read back by us it must give the same streams, so both
    // readers saw the same strings.
    for (const char* name : {"main", "notes"}) {
        SCOPED_TRACE(name);
        const std::string theirs = read_test_file(tool.file(std::string(name) + ".txt"));
        const std::string file = read_test_file(
            src(std::string(name == std::string("main") ? "" : "sub/") + name + ".tra.res"));
        EXPECT_EQ(codec::FormTextToBinary(theirs), codec::FormStreamOfResourceFile(file)) << theirs;
    }
    // The translations as a program on a UTF-8 system prints them.
    const std::string main_stream =
        codec::FormStreamOfResourceFile(read_test_file(src("main.tra.res")));
    EXPECT_NE(main_stream.find("\x07"
                               "Caption\x06\x13"
                               "Fen\xC3\xAA"
                               "tre principale"),
              std::string::npos)
        << main_stream;
    EXPECT_NE(main_stream.find("l'usine"), std::string::npos);
    EXPECT_NE(codec::FormStreamOfResourceFile(read_test_file(src("sub/notes.tra.res")))
                  .find("Zwei\r\nZeilen"),
              std::string::npos);
}

TEST_F(FormOperations, ATranslatedFormIsNeverTranslatedAgain) {
    data.Projects.edit();
    data.Projects.set_text(field::FormsExtension, "*.dfm;*.res;*.tra");
    data.Projects.post();
    // One written earlier, and an older ".tra" of main.dfm, whose target is main.dfm's own.
    write_test_file(src("old.tra.res"),
                    codec::FormResourceFile("TOld", codec::FormTextToBinary(kNotesText)));
    write_test_file(src("main.tra"), kNotesText);
    FormWriteReport report = write();
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].first, src("main.tra"));
    EXPECT_EQ(report.failed[1].first, src("old.tra.res"));
    EXPECT_FALSE(file_exists(src("old.tra.tra.res")));
    EXPECT_EQ(codec::FormStreamOfResourceFile(read_test_file(src("main.tra.res"))),
              codec::FormTextToBinary(kMainText));
}

// A form of Lazarus's own examples, copied at test time: its version and the property names its
// controls are linked to are stored ignored in every language; a translation of the caption
// "Path" goes neither to them by propagation nor into the written form.
TEST_F(FormOperations, ALazarusFormKeepsItsNonTextPropertiesOutOfTranslation) {
    const std::string example = "/usr/lib/lazarus/2.2.6/examples/cleandir/frmmain.lfm";
    if (!file_exists(example)) GTEST_SKIP() << example << " is not installed";
    std::filesystem::create_directories(src("cleandir"));
    std::filesystem::copy_file(example, src("cleandir/frmmain.lfm"));
    data.Projects.edit();
    data.Projects.set_text(field::FormsExtension, "*.lfm");
    data.Projects.post();
    EXPECT_EQ(data.Projects.text(field::Fnontextproperties),
              join_crlf(project::DefaultNonTextProperties()));  // a new project's list

    FormScanReport report = scan();
    ASSERT_TRUE(report.skipped.empty());
    ASSERT_EQ(report.forms_scanned, 1);
    for (const char* language : {"German", "French"}) {
        SCOPED_TRACE(language);
        store::Table table(session, home.path(), std::string("Demo_") + language + "_forms.db");
        table.open();
        int versions = 0, links = 0, captions = 0;
        for (table.first(); !table.eof(); table.next()) {
            const std::string property = table.text("Property");
            const bool ignored = table.logical("Ignore");
            if (property == "LCLVersion.0") {
                ++versions;
                EXPECT_EQ(table.text("OriginalString"), "1.3");
                EXPECT_TRUE(ignored);
            } else if (property == "Link.TIPropertyName.0") {
                ++links;
                EXPECT_TRUE(ignored) << table.text("Object");
            } else if (property == "Caption.0") {
                ++captions;
                EXPECT_FALSE(ignored) << table.text("Object");
            }
        }
        EXPECT_EQ(versions, 1);
        EXPECT_GE(links, 10);
        EXPECT_GE(captions, 30);
    }

    // "Path" is a caption and the name of a linked property.
    store::Table& forms = strings->table();
    forms.set_index_name("");
    std::int64_t caption = 0;
    int others = 0, linked = 0;
    for (forms.first(); !forms.eof(); forms.next()) {
        if (forms.text("OriginalString") != "Path") continue;
        if (forms.logical("Ignore"))
            ++linked;
        else if (caption == 0)
            caption = forms.integer("Index");
        else
            ++others;
    }
    ASSERT_NE(caption, 0);
    ASSERT_GE(linked, 1);
    ASSERT_TRUE(forms.find_key({caption}));
    editor::PostRow(forms, {"Pfad", false, false, false}, store::TableKind::Forms, reporter);
    if (others > 0) {
        // One question, counting only the rows that are not ignored.
        ASSERT_EQ(reporter.questions.size(), 1u);
        EXPECT_NE(reporter.questions[0].find(" " + std::to_string(others) + " other untranslated"),
                  std::string::npos)
            << reporter.questions[0];
    } else
        EXPECT_TRUE(reporter.questions.empty());
    int translated = 0;
    for (forms.first(); !forms.eof(); forms.next()) {
        if (forms.text("OriginalString") != "Path") continue;
        if (forms.logical("Ignore")) {
            EXPECT_EQ(forms.text("TranslateString"), "");
        } else {
            EXPECT_EQ(forms.text("TranslateString"), "Pfad");
            ++translated;
        }
    }
    EXPECT_EQ(translated, others + 1);

    FormWriteReport written = write();
    ASSERT_TRUE(written.failed.empty());
    EXPECT_EQ(written.strings_replaced, translated);
    const std::string text_path = scratch.file("frmmain.txt");
    codec::FormFileToText(src("cleandir/frmmain.tra.res"), text_path);
    const std::string text = read_test_file(text_path);
    EXPECT_NE(text.find("Caption = 'Pfad'"), std::string::npos);
    EXPECT_NE(text.find("Link.TIPropertyName = 'Path'"), std::string::npos);
    EXPECT_EQ(text.find("Link.TIPropertyName = 'Pfad'"), std::string::npos);
    EXPECT_NE(text.find("LCLVersion = '1.3'"), std::string::npos);
    std::filesystem::remove(text_path);
}

}  // namespace
}  // namespace lexorin::forms
