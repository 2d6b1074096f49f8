// A generated program of 100,000 strings across 500 units, walked to the end of the road: scanned,
// translated through a PO file and written by lexorin-cli, then built by fpc and run. No unit of
// that many resource strings links with Free Pascal, so lexorin-cli declares constants. The
// original build must print what the untouched program prints; the translated build what the
// program prints with every literal translated by hand.
//
// LEXORIN_MANY_STRINGS and LEXORIN_MANY_STRINGS_UNITS change the size (the bench script
// bench/many_strings_build.sh runs 250,000). The figures of each stage are printed as it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "cli/cli_fixture.h"
#include "corpus/glue_switches.h"
#include "corpus/mechanical_translation.h"
#include "corpus/stopwatch.h"
#include "support/golden_file.h"
#include "support/test_support.h"

namespace lexorin::road {
namespace {

namespace fs = std::filesystem;
using corpus::Seconds;
using corpus::Stopwatch;
using lexorin::testing::CommandResult;
using lexorin::testing::read_test_file;
using lexorin::testing::run_command;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

// A unit of Free Pascal 3.2.2 links at most some 13,000 resource strings; beyond this many rows
// lexorin-cli declares the strings as constants.
constexpr int kMostResourceStrings = 10000;
constexpr const char* kTranslationPrefix = "DE ";
constexpr const char* kProgram = "many_strings";
// The items of each unit that the program prints, beside its last; every unit has more.
constexpr int kShownItems[] = {0, 7, 13, 42};
constexpr int kFewestPerUnit = 50;

int FromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

// The generated program: unit textsNNNN declares TextNNNN(Item), a case statement with one
// literal per item; the program prints a few texts of every unit, then the total length of all
// texts and a hash of all of them in order, so that no text goes missing or changes place unseen.
class GeneratedProgram {
  public:
    GeneratedProgram(int strings, int units) : strings_(strings), units_(units) {
        if (units < 1 || strings / units < kFewestPerUnit)
            throw std::runtime_error("a unit needs at least " + std::to_string(kFewestPerUnit) +
                                     " strings: " + std::to_string(strings) + " in " +
                                     std::to_string(units) + " units");
    }

    // Writes the program file and its units into `folder`, every literal after `prefix`.
    void Write(const std::string& folder, const std::string& prefix) const {
        std::string uses, calls;
        for (int unit = 1; unit <= units_; ++unit) {
            write_test_file(folder + "/texts" + Number(unit) + ".pas", UnitText(unit, prefix));
            uses += std::string(unit == 1 ? "" : ",\n") + "  texts" + Number(unit);
            calls += "  Digest(@Text" + Number(unit) + ", " + std::to_string(Items(unit)) + ");\n";
        }
        std::ostringstream shown;
        for (int item : kShownItems) shown << "  WriteLn(TextOf(" << item << "));\n";
        write_test_file(folder + "/" + kProgram + ".pas",
                        std::string("program ") + kProgram + ";\n\n{$mode objfpc}{$H+}\n\nuses\n" +
                            uses +
                            ";\n\ntype\n  TTextOf = function(Item: Integer): string;\n\n"
                            "var\n  Total: Int64 = 0;\n  Hash: Int64 = 0;\n\n"
                            "procedure Digest(TextOf: TTextOf; Count: Integer);\n"
                            "var\n  Item: Integer;\n  Text: string;\n  C: Char;\n"
                            "begin\n" +
                            shown.str() +
                            "  WriteLn(TextOf(Count - 1));\n"
                            "  for Item := 0 to Count - 1 do\n  begin\n"
                            "    Text := TextOf(Item);\n    Inc(Total, Length(Text));\n"
                            "    for C in Text do\n"
                            "      Hash := (Hash * 31 + Ord(C)) mod 1000000007;\n"
                            "  end;\nend;\n\nbegin\n" +
                            calls + "  WriteLn(Total);\n  WriteLn(Hash);\nend.\n");
    }

  private:
    // The strings are shared out evenly, the first units taking one more where they do not
    // divide.
    int Items(int unit) const { return strings_ / units_ + (unit <= strings_ % units_ ? 1 : 0); }

    std::string Number(int unit) const {
        const size_t width = std::max<size_t>(4, std::to_string(units_).size());
        std::string number = std::to_string(unit);
        return std::string(width - number.size(), '0') + number;
    }

    // The literal as the source holds it: some with an apostrophe, some with trailing blanks,
    // some longer than the 255 characters of a short string.
    static std::string Literal(int unit, int item, const std::string& prefix) {
        std::string text =
            prefix + "Unit " + std::to_string(unit) + " text " + std::to_string(item);
        if (item % 50 == 7) text += " isn''t plain";
        if (item % 50 == 13) text += " ends in blanks  ";
        if (item % 100 == 42) {
            text += " long";
            for (int word = 0; word < 50; ++word) text += " word" + std::to_string(word);
        }
        return text;
    }

    std::string UnitText(int unit, const std::string& prefix) const {
        const std::string function = "Text" + Number(unit);
        std::string text = "unit texts" + Number(unit) +
                           ";\n\n{$mode objfpc}{$H+}\n\ninterface\n\nfunction " + function +
                           "(Item: Integer): string;\n\nimplementation\n\nfunction " + function +
                           "(Item: Integer): string;\nbegin\n  case Item of\n";
        for (int item = 0; item < Items(unit); ++item)
            text += "    " + std::to_string(item) + ": Result := '" + Literal(unit, item, prefix) +
                    "';\n";
        return text + "  else\n    Result := '';\n  end;\nend;\n\nend.\n";
    }

    int strings_, units_;
};

// A program built by fpc as a user builds it (the installed configuration, the program's folder
// as the unit path), and what it printed.
struct BuiltProgram {
    bool built = false;
    bool ran = false;
    std::string output;  // what the program printed, or the compiler's messages
    double build_seconds = 0;
};

BuiltProgram BuildAndRun(const std::string& folder, const std::string& output_folder) {
    fs::create_directories(output_folder);
    BuiltProgram program;
    const Stopwatch watch;
    const CommandResult build = run_command("cd '" + folder + "' && fpc -FU'" + output_folder +
                                            "' -FE'" + output_folder + "' " + kProgram + ".pas");
    program.build_seconds = watch.seconds();
    program.built = build.status == 0;
    if (!program.built) {
        const size_t tail = build.out.size() > 3000 ? build.out.size() - 3000 : 0;
        program.output = build.out.substr(tail) + build.err;
        return program;
    }
    const CommandResult run = run_command("'" + output_folder + "/" + kProgram + "'");
    program.ran = run.status == 0;
    program.output = run.out + run.err;
    return program;
}

// Every stage of the road, in order, with what each found. A stage that cannot be carried out
// ends the road with its reason in `error`.
class ManyStringsRoad {
  public:
    std::string error;  // why a stage could not be carried out
    int strings = 0, units = 0;
    BuiltProgram untouched, by_hand, original, translated;
    int rows = 0;
    corpus::MechanicalTranslation po;
    std::string import_report;
    std::string strings_org, strings_tra;  // their first line

    ManyStringsRoad() {
        strings = FromEnvironment("LEXORIN_MANY_STRINGS", 100000);
        units = FromEnvironment("LEXORIN_MANY_STRINGS_UNITS", 500);
        try {
            Generate();
            Write();
            original = BuildAndRun(Project(), work_.file("build-original"));
            Report("rewritten program, original strings", original);
            corpus::TurnOnGlueSwitch(Project(), "TranslatedStrings");
            translated = BuildAndRun(Project(), work_.file("build-translated"));
            Report("rewritten program, translated strings", translated);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
    }

  private:
    std::string Project() const { return work_.file("project"); }

    CommandResult Cli(const std::string& args) {
        return lexorin::testing::run_cli_or_throw(work_, args);
    }

    static void Report(const std::string& what, const BuiltProgram& program) {
        std::cout << "[many strings] " << what << ": "
                  << (program.built ? "built in " + Seconds(program.build_seconds)
                                    : std::string("did not compile"))
                  << "\n"
                  << std::flush;
    }

    // The program as it is, and as a translator would have written it by hand: the judges of
    // the two builds of the rewritten program.
    void Generate() {
        const GeneratedProgram program(strings, units);
        program.Write(Project(), "");
        program.Write(work_.file("untouched"), "");
        program.Write(work_.file("by-hand"), kTranslationPrefix);
        std::cout << "[many strings] " << strings << " strings in " << units << " units\n";
        untouched = BuildAndRun(work_.file("untouched"), work_.file("build-untouched"));
        Report("untouched program", untouched);
        by_hand = BuildAndRun(work_.file("by-hand"), work_.file("build-by-hand"));
        Report("program translated by hand", by_hand);
    }

    void Write() {
        fs::create_directories(work_.file("home"));
        Cli("project add Many project");
        Cli("language add Many German");
        const Stopwatch scan_watch;
        Cli("--yes scan-code Many German");
        const double scan_seconds = scan_watch.seconds();
        const std::string listed = Cli("strings Many German").out;
        rows = static_cast<int>(std::count(listed.begin(), listed.end(), '\n'));

        const Stopwatch export_watch;
        Cli("export-po Many German exported.po");
        const double export_seconds = export_watch.seconds();
        po = corpus::TranslateMechanically(read_test_file(work_.file("exported.po")),
                                           kTranslationPrefix);
        write_test_file(work_.file("translated.po"), po.po);
        const Stopwatch import_watch;
        import_report = Cli("import-po Many German translated.po").err;
        const double import_seconds = import_watch.seconds();

        const Stopwatch write_watch;
        Cli("write-code Many German");
        const double write_seconds = write_watch.seconds();
        strings_org = lexorin::testing::first_line_of(Project() + "/strings.org");
        strings_tra = lexorin::testing::first_line_of(Project() + "/strings.tra");
        std::cout << "[many strings] scan-code: " << rows << " rows in " << Seconds(scan_seconds)
                  << "; export-po: " << Seconds(export_seconds)
                  << "; import-po: " << Seconds(import_seconds)
                  << "; write-code: " << Seconds(write_seconds) << "\n"
                  << std::flush;
    }

    TempDir work_;
};

// One test, as the road is one: its stages depend on each other and take a few minutes.
TEST(ManyStrings, BuildsAndRunsInTheOriginalAndInTheTranslation) {
    const ManyStringsRoad road;
    ASSERT_TRUE(road.error.empty()) << road.error;

    // The judges: both hand-made programs build and print a line per shown text and two sums.
    ASSERT_TRUE(road.untouched.built && road.untouched.ran) << road.untouched.output;
    ASSERT_TRUE(road.by_hand.built && road.by_hand.ran) << road.by_hand.output;
    const auto lines = std::count(road.untouched.output.begin(), road.untouched.output.end(), '\n');
    EXPECT_EQ(lines, road.units * static_cast<long>(std::size(kShownItems) + 1) + 2);
    EXPECT_NE(road.untouched.output, road.by_hand.output);

    // Every literal is taken, translated and written; beyond the resource-string limit both
    // files declare constants.
    EXPECT_EQ(road.rows, road.strings);
    EXPECT_EQ(road.po.entries, road.strings);
    EXPECT_EQ(road.po.translated, road.strings);
    EXPECT_NE(road.import_report.find(std::to_string(road.strings) + " rows updated"),
              std::string::npos)
        << road.import_report;
    EXPECT_NE(road.import_report.find(" 0 entries not applied"), std::string::npos)
        << road.import_report;
    const std::string section = road.strings > kMostResourceStrings ? "const" : "resourcestring";
    EXPECT_EQ(road.strings_org, section);
    EXPECT_EQ(road.strings_tra, "\xEF\xBB\xBF" + section);  // UTF-8, with its byte order mark

    // The rewritten program prints the original texts by default, the translations once
    // lx_lang.inc turns them on.
    ASSERT_TRUE(road.original.built) << road.original.output;
    ASSERT_TRUE(road.original.ran) << road.original.output;
    EXPECT_EQ(lexorin::testing::FirstDifference(road.untouched.output, road.original.output), "");
    ASSERT_TRUE(road.translated.built) << road.translated.output;
    ASSERT_TRUE(road.translated.ran) << road.translated.output;
    EXPECT_EQ(lexorin::testing::FirstDifference(road.by_hand.output, road.translated.output), "");
}

}  // namespace
}  // namespace lexorin::road
