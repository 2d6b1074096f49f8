#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/file_utils.h"
#include "cli/cli_fixture.h"
#include "forms/form_text_to_binary.h"
#include "forms/form_text_writer.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// The demo project (the binary form aboutbox.dfm and the text form mainform.dfm) in a scratch
// working directory, registered with two languages.
class FormCommandsTest : public lexorin::testing::DemoProjectTest {
  protected:
    std::string file(const std::string& name) { return read_test_file(work.file(name)); }
};

TEST_F(FormCommandsTest, ConversionsBothWaysAndTheirFailures) {
    auto r = cli("form-to-text src/aboutbox.dfm about.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = file("about.txt");
    EXPECT_EQ(text.rfind("object AboutBox: TAboutBox\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("      'It'#39's a demo'\r\n"), std::string::npos);
    ASSERT_EQ(cli("text-to-form about.txt again.dfm").status, 0);
    EXPECT_EQ(file("again.dfm"), file("src/aboutbox.dfm"));

    // A form stored as text is copied, and said so.
    r = cli("form-to-text src/mainform.dfm main.txt");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("stored as text"), std::string::npos);
    EXPECT_EQ(file("main.txt"), file("src/mainform.dfm"));

    // Bad input: the failure's text, exit status 1, an existing target left as it was.
    write_test_file(work.file("cut.dfm"), file("src/aboutbox.dfm").substr(0, 40));
    write_test_file(work.file("out.txt"), "kept");
    r = cli("form-to-text cut.dfm out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: Stream-Read-Fehler\n");
    EXPECT_EQ(file("out.txt"), "kept");
    write_test_file(work.file("bad.txt"), "object A: TA\r\n  Caption = 'open\r\nend\r\n");
    r = cli("text-to-form bad.txt out.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error: Ung\xFC"
              "ltige Stringkonstante in Zeile 2\n");
    EXPECT_EQ(file("out.txt"), "kept");
    EXPECT_EQ(cli("form-to-text missing.dfm out.txt").status, 1);
    EXPECT_EQ(cli("form-to-text src/aboutbox.dfm /dev/null").status, 1);  // no devices replaced
    EXPECT_EQ(cli("form-to-text src/aboutbox.dfm").status, 2);

    // Special files as input: refused before reading (a pipe would hang, /dev/zero never ends).
    ASSERT_EQ(::mkfifo(work.file("pipe.dfm").c_str(), 0644), 0);
    for (const std::string command : {"form-to-text", "text-to-form"}) {
        r = cli(command + " pipe.dfm piped.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  "error: Cannot open file pipe.dfm: it is a pipe (FIFO), not a regular file\n");
        r = cli(command + " /dev/zero zero.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "error: Cannot open file /dev/zero: it is a device, not a regular file\n");
        r = cli(command + " src folder.txt");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "error: Cannot open file src: it is a directory\n");
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("piped.txt")));
    EXPECT_FALSE(std::filesystem::exists(work.file("zero.txt")));
    EXPECT_FALSE(std::filesystem::exists(work.file("folder.txt")));
}

TEST_F(FormCommandsTest, ScanThenWriteTranslatedForms) {
    write_test_file(work.file("src/broken.dfm"), file("src/aboutbox.dfm").substr(0, 60));
    auto r = cli("scan-forms Demo German");
    // The broken form fails the command, after the others were scanned.
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Scanned.\n2 forms scanned, 12 strings found, 1 forms skipped\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("\n1 of 3 forms could not be scanned: broken.dfm: Stream-Read-Fehler\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("  skipped " + work.file("src/broken.dfm") + ": Stream-Read-Fehler\n"),
              std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Forms scanned on "), std::string::npos);
    const std::string german = cli("strings Demo German --kind forms").out;
    EXPECT_NE(german.find("1\tAbout the demo\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_NE(german.find("3\tIt's a demo\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_NE(german.find("9\tDemo main window\t\tFalsch\n"), std::string::npos) << german;
    EXPECT_EQ(cli("strings Demo French --kind forms").out, german);
    std::filesystem::remove(work.file("src/broken.dfm"));

    ASSERT_EQ(cli("translate Demo German 3 \"C'est une d\xE9mo\" --kind forms").status, 0);
    ASSERT_EQ(cli("translate Demo German 8 'Schliesst das Fenster' --kind forms").status, 0);
    ASSERT_EQ(cli("translate Demo German 9 'Demo-Hauptfenster' --kind forms").status, 0);
    r = cli("write-forms Demo German");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Forms written correctly.\n\nif you do or did not write the code "
                         "changes, copy the files lx_lang.pas and lx_lang.inc from " +
                         work.file("home") + "/ to " + work.file("src") + ".\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("2 forms written, 3 strings translated, 0 forms failed"),
              std::string::npos);
    EXPECT_NE(cli("project show Demo").out.find("Form changes written in German on "),
              std::string::npos);

    // The binary form's ".tra" is binary, with the translations; the blanks at the end stay.
    ASSERT_EQ(cli("form-to-text src/aboutbox.tra about.txt").status, 0);
    std::string expected = forms::FormResourceToText(file("src/aboutbox.dfm"));
    expected.replace(expected.find("'It'#39's a demo'"), 17, "'C'#39'est une d\xE9mo'");
    expected.replace(expected.find("'Closes the box  '"), 18, "'Schliesst das Fenster  '");
    EXPECT_EQ(file("about.txt"), expected);
    EXPECT_EQ(file("src/aboutbox.tra"), forms::FormTextToResource(expected));
    // The text form's ".tra" is text.
    std::string main = file("src/mainform.dfm");
    main.replace(main.find("'Demo main window'"), 18, "'Demo-Hauptfenster'");
    EXPECT_EQ(file("src/mainform.tra"), main);
}

TEST_F(FormCommandsTest, WriteFailsOnAFormWhoseTranslationBreaksIt) {
    ASSERT_EQ(cli("scan-forms Demo German").status, 0);
    ASSERT_EQ(cli("write-forms Demo German").status, 0);
    const std::string tra = file("src/mainform.tra");
    ASSERT_EQ(cli("translate Demo German 9 \"$(printf 'two\\rlines')\" --kind forms").status, 0);
    auto r = cli("write-forms Demo German");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(work.file("src/mainform.dfm") + ": Ung\xFC"
                                                         "ltige Stringkonstante in "
                                                         "Zeile 6"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("1 of 2 forms written correctly."), std::string::npos) << r.err;
    EXPECT_EQ(file("src/mainform.tra"), tra);
    // Precondition failures name the project or language.
    EXPECT_EQ(cli("write-forms Demo Klingon").status, 1);
    EXPECT_EQ(cli("scan-forms Nobody German").status, 1);
}

}  // namespace
