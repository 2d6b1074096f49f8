// A project's kind (Delphi or Lazarus): found in its source folder, bringing its masks, code page
// and build command; its code page, in which the project's tables keep their text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "base/code_page.h"
#include "base/errors.h"
#include "project/language_list.h"
#include "project/languages.h"
#include "project/lazarus_build.h"
#include "project/project_code_page.h"
#include "project/project_kind.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "store/translation_fields.h"
#include "store/translation_tables.h"
#include "support/po_demo_exchange.h"
#include "support/test_support.h"

using namespace lexorin;
using namespace lexorin::project;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;
using lexorin::testing::write_test_file;

namespace {

// "Größe" in UTF-8, and as Windows-1252 would show its bytes.
constexpr const char* kSizeUtf8 =
    "Gr\xC3\xB6\xC3\x9F"
    "e";
constexpr const char* kSizeMisread =
    "Gr\xC3\x83\xC2\xB6\xC3\x83\xC5\xB8"
    "e";

// A machine with fpc and Debian's LCL units of version 2.2.6, and without lazbuild.
LazarusInstallation DebianLazarus() {
    return {true, false, "/usr/lib/lazarus/2.2.6", "x86_64-linux"};
}

constexpr const char* kLclBuild =
    "fpc -MObjFPC -Scghi -Fu/usr/lib/lazarus/2.2.6/lcl/units/x86_64-linux "
    "-Fu/usr/lib/lazarus/2.2.6/lcl/units/x86_64-linux/nogui "
    "-Fu/usr/lib/lazarus/2.2.6/components/lazutils/lib/x86_64-linux -dLCL -dLCLnogui ";

void touch(const TempDir& dir, const std::string& name) {
    write_test_file(dir.file(name), "");
}

TEST(ProjectKindDetection, LazarusFilesWithoutDelphiFilesMakeALazarusProject) {
    TempDir lazarus;
    touch(lazarus, "hello.lpr");
    touch(lazarus, "main.lfm");
    touch(lazarus, "main.pas");
    EXPECT_EQ(DetectProjectKind(lazarus.path(), true, {}), ProjectKind::Lazarus);

    TempDir delphi;
    touch(delphi, "hello.dpr");
    touch(delphi, "main.dfm");
    touch(delphi, "main.pas");
    EXPECT_EQ(DetectProjectKind(delphi.path(), true, {}), ProjectKind::Delphi);

    TempDir empty;
    EXPECT_EQ(DetectProjectKind(empty.path(), true, {}), ProjectKind::Delphi);
    EXPECT_EQ(DetectProjectKind(empty.file("missing"), true, {}), ProjectKind::Delphi);
    EXPECT_EQ(DetectProjectKind("", true, {}), ProjectKind::Delphi);

    // Units alone say nothing; a Delphi form beside a Lazarus one keeps the project Delphi.
    TempDir units;
    touch(units, "a.pas");
    EXPECT_EQ(DetectProjectKind(units.path(), true, {}), ProjectKind::Delphi);
    TempDir both;
    touch(both, "main.lfm");
    touch(both, "main.dfm");
    EXPECT_EQ(DetectProjectKind(both.path(), true, {}), ProjectKind::Delphi);

    // A program kept for both compilers builds Lazarus forms: the forms decide.
    TempDir two_programs;
    touch(two_programs, "book.dpr");
    touch(two_programs, "book.lpr");
    touch(two_programs, "main.lfm");
    EXPECT_EQ(DetectProjectKind(two_programs.path(), true, {}), ProjectKind::Lazarus);
    // Without forms the program files decide, a Delphi one beside keeping it Delphi.
    TempDir console;
    touch(console, "tool.lpr");
    EXPECT_EQ(DetectProjectKind(console.path(), true, {}), ProjectKind::Lazarus);
    touch(console, "tool.dpr");
    EXPECT_EQ(DetectProjectKind(console.path(), true, {}), ProjectKind::Delphi);
}

TEST(ProjectKindDetection, TheFolderIsWalkedAsTheProjectWalksIt) {
    TempDir dir;
    touch(dir, "src/app.lpi");
    touch(dir, "tools/old.dfm");
    touch(dir, "unit1.pas");
    EXPECT_EQ(DetectProjectKind(dir.path(), false, {}), ProjectKind::Delphi);
    EXPECT_EQ(DetectProjectKind(dir.path(), true, {}), ProjectKind::Delphi);  // tools' form
    EXPECT_EQ(DetectProjectKind(dir.path(), true, {dir.file("tools/")}), ProjectKind::Lazarus);
    // Upper-case extensions count too.
    TempDir upper;
    touch(upper, "MAIN.LFM");
    EXPECT_EQ(DetectProjectKind(upper.path(), true, {}), ProjectKind::Lazarus);
}

TEST(ProjectKindNames, AreReadWithoutRegardToCase) {
    EXPECT_EQ(ParseProjectKind("lazarus"), ProjectKind::Lazarus);
    EXPECT_EQ(ParseProjectKind("DELPHI"), ProjectKind::Delphi);
    EXPECT_STREQ(ProjectKindName(ProjectKind::Lazarus), "Lazarus");
    try {
        ParseProjectKind("Kylix");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "There is no project kind Kylix; the kinds are Delphi and Lazarus.");
    }
}

TEST(LazarusBuild, TheCommandUsesWhatIsInstalled) {
    EXPECT_EQ(LazarusBuildCommand(DebianLazarus(), "hello.lpr", "hello.lpi"),
              std::string(kLclBuild) + "hello.lpr");
    EXPECT_EQ(LazarusBuildCommand(DebianLazarus(), "my app/hello.lpr", ""),
              std::string(kLclBuild) + "'my app/hello.lpr'");
    LazarusInstallation lazbuild_only{false, true, "", "x86_64-linux"};
    EXPECT_EQ(LazarusBuildCommand(lazbuild_only, "hello.lpr", "hello.lpi"), "lazbuild hello.lpi");
    EXPECT_EQ(LazarusBuildCommand(lazbuild_only, "hello.lpr", ""), "");
    LazarusInstallation fpc_only{true, false, "", "x86_64-linux"};
    EXPECT_EQ(LazarusBuildCommand(fpc_only, "hello.lpr", "hello.lpi"),
              "fpc -MObjFPC -Scghi hello.lpr");
    EXPECT_EQ(LazarusBuildCommand(DebianLazarus(), "", "hello.lpi"), "");
    EXPECT_EQ(LazarusBuildCommand({}, "hello.lpr", "hello.lpi"), "");
}

TEST(LazarusBuild, TheNewestCompleteVersionFolderAndThePathAreSearched) {
    TempDir root;
    const std::string target = NativeTarget();
    const auto lcl = [&](const std::string& version, bool complete) {
        std::filesystem::create_directories(root.file(version + "/lcl/units/" + target + "/nogui"));
        if (complete)
            std::filesystem::create_directories(
                root.file(version + "/components/lazutils/lib/" + target));
    };
    lcl("2.2.6", true);
    lcl("2.2.10", true);
    lcl("3.0", false);  // no LazUtils for this machine
    TempDir bin;
    write_test_file(bin.file("lazbuild"), "#!/bin/sh\n");
    ::chmod(bin.file("lazbuild").c_str(), 0755);
    write_test_file(bin.file("fpc"), "not a program");  // not executable

    LazarusInstallation found = FindLazarus(root.path(), bin.path());
    EXPECT_EQ(found.version_folder, root.file("2.2.10"));
    EXPECT_TRUE(found.lazbuild);
    EXPECT_FALSE(found.fpc);
    EXPECT_EQ(found.target, target);

    TempDir nothing;
    found = FindLazarus(nothing.file("missing"), nothing.path());
    EXPECT_EQ(found.version_folder, "");
    EXPECT_FALSE(found.lazbuild);
}

TEST(LazarusBuild, TheMainFileIsTheOneNearestToTheDirectory) {
    EXPECT_EQ(MainFile("/p", {"/p/sub/b.lpr", "/p/z.lpr", "/p/a/c.lpr"}), "z.lpr");
    EXPECT_EQ(MainFile("/p/", {"/p/sub/b.lpr", "/p/a/c.lpr"}), "a/c.lpr");
    EXPECT_EQ(MainFile("/p", {}), "");
}

class ProjectKindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        touch(lazarus_src, "hello.lpr");
        touch(lazarus_src, "hello.lpi");
        touch(lazarus_src, "main.lfm");
        touch(lazarus_src, "main.pas");
        touch(delphi_src, "hello.dpr");
        touch(delphi_src, "main.dfm");
        touch(delphi_src, "main.pas");
    }
    void add(const std::string& name, const std::string& directory,
             std::optional<ProjectKind> kind = std::nullopt) {
        NewProject project{name, directory, true, {}, kind};
        add_project(data.Projects, project, DebianLazarus());
        require_project(data.Projects, name);
    }
    std::string text(const char* field) { return data.Projects.text(field); }
    void set_kind(ProjectKind kind) {
        data.Projects.edit();
        SetProjectKind(data.Projects, kind, DebianLazarus());
        data.Projects.post();
    }

    TempDir work, lazarus_src, delphi_src;
    store::Session session;
    ProjectsTable data{session, work.path()};
};

TEST_F(ProjectKindTest, ANewProjectTakesTheDefaultsOfTheKindFoundInItsFolder) {
    add("Laz", lazarus_src.path());
    EXPECT_EQ(text(field::Ckind), "Lazarus");
    EXPECT_EQ(text(field::SourceExtensions), "*.pas;*.pp;*.lpr");
    EXPECT_EQ(text(field::FormsExtension), "*.lfm");
    EXPECT_EQ(text(field::Ccodepage), "UTF-8");
    EXPECT_EQ(text(field::Cbuildcommand), std::string(kLclBuild) + "hello.lpr");
    EXPECT_EQ(ProjectCodePage(data.Projects, CodePage()).name(), "UTF-8");

    // A Delphi project starts as every project always has.
    add("Del", delphi_src.path());
    EXPECT_EQ(text(field::Ckind), "Delphi");
    EXPECT_EQ(text(field::SourceExtensions), "*.pas");
    EXPECT_EQ(text(field::FormsExtension), "*.dfm");
    EXPECT_EQ(text(field::Ccodepage), "");
    EXPECT_EQ(text(field::Cbuildcommand), "");
    EXPECT_EQ(ProjectCodePage(data.Projects, CodePage("CP1250")).name(), "CP1250");

    // A kind given wins over the folder.
    add("Forced", delphi_src.path(), ProjectKind::Lazarus);
    EXPECT_EQ(text(field::Ckind), "Lazarus");
    EXPECT_EQ(text(field::Cbuildcommand), "");  // no .lpr there to build
}

TEST_F(ProjectKindTest, TheDefaultsFollowAChangedKindUnlessTheUserChangedThem) {
    add("Demo", lazarus_src.path(), ProjectKind::Delphi);
    EXPECT_EQ(text(field::SourceExtensions), "*.pas");
    set_kind(ProjectKind::Lazarus);
    EXPECT_EQ(text(field::Ckind), "Lazarus");
    EXPECT_EQ(text(field::SourceExtensions), "*.pas;*.pp;*.lpr");
    EXPECT_EQ(text(field::FormsExtension), "*.lfm");
    EXPECT_EQ(text(field::Ccodepage), "UTF-8");
    EXPECT_EQ(text(field::Cbuildcommand), std::string(kLclBuild) + "hello.lpr");
    set_kind(ProjectKind::Delphi);
    EXPECT_EQ(text(field::SourceExtensions), "*.pas");
    EXPECT_EQ(text(field::FormsExtension), "*.dfm");
    EXPECT_EQ(text(field::Ccodepage), "");
    EXPECT_EQ(text(field::Cbuildcommand), "");

    // What the user set stays; what still holds a default (or nothing) follows.
    data.Projects.edit();
    data.Projects.set_text(field::SourceExtensions, "*.pas;*.dpr");
    data.Projects.set_text(field::FormsExtension, "");
    data.Projects.set_text(field::Ccodepage, "CP1250");
    data.Projects.set_text(field::Cbuildcommand, "make");
    data.Projects.post();
    set_kind(ProjectKind::Lazarus);
    EXPECT_EQ(text(field::SourceExtensions), "*.pas;*.dpr");
    EXPECT_EQ(text(field::FormsExtension), "*.lfm");
    EXPECT_EQ(text(field::Ccodepage), "CP1250");
    EXPECT_EQ(text(field::Cbuildcommand), "make");
    // A code page named in other letters is still the default.
    data.Projects.edit();
    data.Projects.set_text(field::Ccodepage, "utf-8");
    data.Projects.post();
    set_kind(ProjectKind::Delphi);
    EXPECT_EQ(text(field::Ccodepage), "");
    EXPECT_EQ(text(field::Ckind), "Delphi");
}

TEST_F(ProjectKindTest, AnUnknownCodePageIsNamedWithItsProject) {
    add("Demo", delphi_src.path());
    data.Projects.edit();
    data.Projects.set_text(field::Ccodepage, "no-such-page");
    data.Projects.post();
    try {
        ProjectCodePage(data.Projects, CodePage());
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "The project Demo names the code page no-such-page, which is "
                     "unknown.");
    }
    EXPECT_NO_THROW(CheckCodePageName(""));
    EXPECT_NO_THROW(CheckCodePageName("UTF-8"));
    EXPECT_THROW(CheckCodePageName("no-such-page"), Error);
}

TEST(ProjectsTableUpgrade, ATableWithoutKindAndCodePageGetsThemAsDelphi) {
    TempDir work, src;
    touch(src, "hello.lpr");  // the sources of an old row are not looked at again
    store::TableSchema earlier = projects_schema();
    for (const char* added : {field::Ckind, field::Ccodepage})
        std::erase_if(earlier.fields, [&](const auto& f) { return f.name == added; });
    ASSERT_EQ(earlier.fields.size() + 2, projects_schema().fields.size());
    store::create_table(work.file("Projects.DB"), earlier);
    {
        store::Session session;
        store::Table projects(session, work.path(), "Projects.DB");
        projects.open();
        projects.insert();
        projects.set_text(field::Name, "Demo");
        projects.set_text(field::Directory, src.path());
        projects.set_text(field::SourceExtensions, "*.pas;*.dpr");
        projects.post();
    }
    ASSERT_EQ(read_test_file(work.file("Projects.DB")).find(field::Ccodepage), std::string::npos);
    store::Session session;
    {
        ProjectsTable data(session, work.path());
        require_project(data.Projects, "Demo");
        EXPECT_EQ(data.Projects.text(field::Ckind), "Delphi");
        EXPECT_EQ(data.Projects.text(field::Ccodepage), "");
        EXPECT_EQ(ProjectKindOf(data.Projects), ProjectKind::Delphi);
        EXPECT_EQ(ProjectCodePage(data.Projects, CodePage()).name(), "Windows-1252");
        EXPECT_EQ(data.Projects.text(field::SourceExtensions), "*.pas;*.dpr");
    }
    // Opened again: nothing added twice.
    ProjectsTable data(session, work.path());
    EXPECT_EQ(data.Projects.schema().fields.size(), projects_schema().fields.size());

    // The oldest table gets them as well.
    TempDir oldest;
    std::filesystem::copy_file(LEXORIN_TEST_DATA "/projects/Projects_before_build_command.DB",
                               oldest.file("Projects.DB"));
    ProjectsTable migrated(session, oldest.path());
    require_project(migrated.Projects, "Demo");
    EXPECT_EQ(migrated.Projects.text(field::Ckind), "Delphi");
    EXPECT_EQ(ProjectCodePage(migrated.Projects, CodePage()).name(), "Windows-1252");
}

TEST(Utf8CodePage, KeepsItsTextAsItIs) {
    CodePage utf8("UTF-8");
    EXPECT_TRUE(utf8.is_utf8());
    EXPECT_FALSE(CodePage().is_utf8());
    EXPECT_TRUE(CodePage("utf8").is_utf8());
    EXPECT_EQ(utf8.to_utf8(kSizeUtf8), kSizeUtf8);
    EXPECT_EQ(utf8.from_utf8(kSizeUtf8), kSizeUtf8);
    EXPECT_EQ(utf8.from_utf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");  // beyond 16 bits too
    EXPECT_THROW(utf8.to_utf8("Gr\xF6\xDF"
                              "e"),
                 Error);  // Windows-1252 bytes are no UTF-8
    EXPECT_THROW(utf8.from_utf8("\xC0\xAF"), Error);
}

TEST_F(ProjectKindTest, APoExportOfAUtf8ProjectWritesItsTextUnchanged) {
    TempDir home;
    store::ensure_templates(home.path());
    add("Demo", lazarus_src.path());
    store::TableFolder folder{session, home.dir()};
    LanguageList languages;
    SilentReporter quiet;
    AddLanguage(folder, data.Projects, languages, "German", quiet);
    {
        store::Table pasfiles(session, home.path(), "Demo_pasfiles.db");
        pasfiles.open();
        pasfiles.append_record({0, store::kShowAll});
        pasfiles.append_record({0, "main.pas", lazarus_src.file("main.pas")});
        store::Table pascal(session, home.path(), "Demo_German_pascal.db");
        pascal.open();
        pascal.append_record({0, kSizeUtf8, "", 2});
    }
    const CodePage page = ProjectCodePage(data.Projects, CodePage());
    const std::string po = work.file("de.po");
    lexorin::testing::ExportGerman(folder, po, page, quiet);
    const std::string text = read_test_file(po);
    EXPECT_NE(text.find(std::string("msgid \"") + kSizeUtf8 + "\""), std::string::npos) << text;
    EXPECT_EQ(text.find(kSizeMisread), std::string::npos) << text;

    // Imported again, the translation is stored as the PO file has it.
    std::string with_translation = text;
    const std::string entry = std::string("msgid \"") + kSizeUtf8 + "\"\nmsgstr \"\"";
    const size_t at = with_translation.find(entry);
    ASSERT_NE(at, std::string::npos) << text;
    with_translation.replace(
        at, entry.size(),
        std::string("msgid \"") + kSizeUtf8 + "\"\nmsgstr \"" + kSizeUtf8 + " (de)\"");
    write_test_file(po, with_translation);
    lexorin::testing::ImportGerman(folder, po, page, quiet);
    store::Table pascal(session, home.path(), "Demo_German_pascal.db");
    pascal.open();
    pascal.first();
    EXPECT_EQ(pascal.text(store::field::TranslateString), std::string(kSizeUtf8) + " (de)");
}

}  // namespace
