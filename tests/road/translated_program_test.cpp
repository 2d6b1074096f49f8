// The whole road on the real toolchain: a console program with forms, scanned, translated
// through a PO file, written by lexorin-cli, then built by Free Pascal and run, in the original
// language and in the translation; and given back by restore-code.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "cli/cli_fixture.h"
#include "support/test_support.h"

namespace lexorin::road {
namespace {

namespace fs = std::filesystem;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::run_cli;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// What a translator types for each original, as UTF-8: umlauts and apostrophes as they come.
const std::map<std::string, std::string>& German() {
    static const std::map<std::string, std::string> texts = {
        {"Greeter starts", "Gr\u00fc\u00dfer startet"},
        {"%d items in the basket", "%d Artikel im Korb"},
        {"Order form: ", "Bestellformular: "},
        {"Save changes?", "\u00c4nderungen speichern?"},
        {"Don't forget the receipt", "Vergiss den Beleg nicht, gell's"},
        {"Check the spelling", "Rechtschreibung pr\u00fcfen"},
        {"Goodbye", "Auf Wiedersehen"},
        {"Your order", "Ihre Bestellung"},
        {"Don't forget to pay", "Vergiss nicht zu zahlen, gell's"},
        {"Total amount", "Gesamtbetrag"},
        {"Delivery in two days", "Lieferung in zwei Tagen"},
        {"About Greeter", "\u00dcber Greeter"},
        {"Version 1.0, Caf\u00e9 edition", "Version 1.0, Caf\u00e9-Ausgabe"}};
    return texts;
}

// What the translated program prints: every text of its code and its forms in German.
const char* const kGermanOutput =
    "Gr\u00fc\u00dfer startet\n3 Artikel im Korb\nBestellformular: Ihre Bestellung\n"
    "Vergiss nicht zu zahlen, gell's\nGesamtbetrag\nLieferung in zwei Tagen\n\u00dcber Greeter\n"
    "Version 1.0, Caf\u00e9-Ausgabe\n\u00c4nderungen speichern?\nVergiss den Beleg nicht, gell's\n"
    "Rechtschreibung pr\u00fcfen\nAuf Wiedersehen\n";

// The units as the rewrite writes lines back: every line ending in CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += line + "\r\n";
    }
    return out;
}

// Fills every msgstr of a PO file from German(); returns the originals it had no text for.
std::vector<std::string> Translate(std::string& po) {
    std::vector<std::string> missing;
    std::string out;
    std::istringstream in(po);
    std::string msgid;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("msgid \"", 0) == 0) msgid = line.substr(7, line.size() - 8);
        if (line == "msgstr \"\"" && !msgid.empty()) {
            std::string original = std::regex_replace(msgid, std::regex(R"(\\(.))"), "$1");
            const auto found = German().find(original);
            if (found == German().end()) {
                missing.push_back(original);
            } else {
                line = "msgstr \"" + found->second + "\"";
            }
        }
        out += line + "\n";
    }
    po = out;
    return missing;
}

class TranslatedProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (run_command("fpc -iV").status != 0) GTEST_SKIP() << "fpc is not installed";
        fs::copy(LEXORIN_TEST_DATA "/programs/greeter", work.file("src"));
        fs::create_directories(work.file("home"));
        for (const auto& entry : fs::directory_iterator(work.file("src")))
            originals[entry.path().filename().string()] = read_test_file(entry.path().string());
    }
    CommandResult Cli(const std::string& args) {
        CommandResult result = run_cli(work, args);
        EXPECT_EQ(result.status, 0) << args << "\n" << result.out << result.err;
        return result;
    }
    // Builds the program from scratch in src and returns what it prints.
    std::string BuildAndRun() {
        const std::string src = work.file("src");
        fs::remove_all(src + "/out");
        fs::create_directories(src + "/out");
        auto build = run_command("cd '" + src + "' && fpc -Mdelphi -B -FEout greeter.dpr");
        EXPECT_EQ(build.status, 0) << build.out << build.err;
        if (build.status != 0) return "(no build)";
        auto run = run_command("'" + src + "/out/greeter'");
        EXPECT_EQ(run.status, 0) << run.err;
        fs::remove_all(src + "/out");
        return run.out;
    }
    void WriteCodeAndForms() {
        written_message = Cli("write-code Greeter German").err;
        Cli("write-forms Greeter German");
    }
    // Does what the closing message of Write changes -> Code tells the user: removes the dot
    // from each switch it names.
    void SwitchOnAsTheMessageSays() {
        const std::regex named("\"(\\{\\.\\$define [A-Za-z]+\\})\"");
        const std::string include = work.file("src/lx_lang.inc");
        std::string text = read_test_file(include);
        int switched = 0;
        for (auto it = std::sregex_iterator(written_message.begin(), written_message.end(), named);
             it != std::sregex_iterator(); ++it) {
            const std::string off = (*it)[1].str();
            const auto at = text.find(off);
            ASSERT_NE(at, std::string::npos) << off << " is not in lx_lang.inc";
            text.erase(at + 1, 1);
            ++switched;
        }
        ASSERT_EQ(switched, 2) << written_message;
        write_test_file(include, text);
    }
    TempDir work;
    std::map<std::string, std::string> originals;
    std::string written_message;
};

TEST_F(TranslatedProgram, BuildsAndRunsInTheOriginalAndInTheTranslation) {
    const std::string untouched = BuildAndRun();
    ASSERT_NE(untouched.find("Caf\xe9 edition"), std::string::npos) << untouched;

    Cli("project add Greeter src");
    Cli("project set Greeter \"Source extensions\" \"*.pas;*.dpr\"");
    Cli("language add Greeter German");
    Cli("--yes scan-code Greeter German");
    Cli("scan-forms Greeter German");
    // A unit without a literal is left exactly as it was.
    EXPECT_EQ(read_test_file(work.file("src/text_items.pas")), originals["text_items.pas"]);
    // The form directives stay as written; the program file's literals are taken.
    const std::string order = read_test_file(work.file("src/order_form.pas"));
    EXPECT_NE(order.find("{$ifndef TranslatedForm}\r\n{$R *.dfm}\r\n{$else}\r\n{$R *.tra.res}"),
              std::string::npos)
        << order;
    EXPECT_NE(read_test_file(work.file("src/about_form.pas")).find("{$R about_form.tra.res}"),
              std::string::npos);
    EXPECT_NE(read_test_file(work.file("src/greeter.dpr")).find("''+s_"), std::string::npos);

    Cli("export-po Greeter German greeter.po");
    std::string po = read_test_file(work.file("greeter.po"));
    EXPECT_EQ(Translate(po), std::vector<std::string>{}) << "every string is translated";
    write_test_file(work.file("greeter.po"), po);
    Cli("import-po Greeter German greeter.po");
    WriteCodeAndForms();

    EXPECT_EQ(BuildAndRun(), untouched) << "the original texts are the default";
    SwitchOnAsTheMessageSays();
    EXPECT_EQ(BuildAndRun(), kGermanOutput);

    // Writing again keeps the switch on.
    WriteCodeAndForms();
    EXPECT_EQ(BuildAndRun(), kGermanOutput);

    Cli("restore-code Greeter German");
    for (const auto& [name, text] : originals) {
        const std::string ext = fs::path(name).extension().string();
        if (ext != ".pas" && ext != ".dpr") continue;
        EXPECT_EQ(read_test_file(work.file("src/" + name)),
                  name == "text_items.pas" ? text : WithCrLf(text))
            << name;
    }
}

}  // namespace
}  // namespace lexorin::road
