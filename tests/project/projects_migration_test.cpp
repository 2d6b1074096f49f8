// A Projects table written before the build command fields existed is opened, not refused: the
// fields are added with their defaults and every stored value stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/errors.h"
#include "base/text_utils.h"
#include "project/projects_table.h"
#include "store/table_files.h"
#include "store/table_store.h"
#include "support/test_support.h"

using namespace lexorin;
using lexorin::testing::read_test_file;
using lexorin::testing::TempDir;

namespace {

TEST(ProjectsTableMigration, AnOlderTableGetsTheNewFieldsAndKeepsItsRows) {
    TempDir work;
    std::filesystem::copy_file(LEXORIN_TEST_DATA "/projects/Projects_before_build_command.DB",
                               work.file("Projects.DB"));
    ASSERT_EQ(read_test_file(work.file("Projects.DB")).find(project::field::Cbuildcommand),
              std::string::npos);
    {
        store::Session session;
        project::ProjectsTable data(session, work.path());
        store::Table& projects = data.Projects;
        ASSERT_TRUE(project::locate_project(projects, "Demo"));
        EXPECT_EQ(projects.text(project::field::Cbuildcommand), "");
        EXPECT_FALSE(projects.logical(project::field::Cverify));
        EXPECT_EQ(projects.text(project::field::SourceExtensions), "*.pas");
        EXPECT_FALSE(projects.text(project::field::Directory).empty());
        projects.edit();
        projects.set_text(project::field::Cbuildcommand, "fpc -Mdelphi demo.dpr");
        projects.set_logical(project::field::Cverify, true);
        projects.post();
    }
    // Opened again, nothing is added twice and the values are there.
    store::Session session;
    project::ProjectsTable data(session, work.path());
    ASSERT_TRUE(project::locate_project(data.Projects, "Demo"));
    EXPECT_EQ(data.Projects.text(project::field::Cbuildcommand), "fpc -Mdelphi demo.dpr");
    EXPECT_TRUE(data.Projects.logical(project::field::Cverify));
    EXPECT_EQ(data.Projects.schema().fields.size(), project::projects_schema().fields.size());
}

TEST(ProjectsTableMigration, TheBuildTimeLimitAndTheLinkChoiceAreAddedWithTheirDefaults) {
    // A table of the version before these two fields: the build command is there already.
    TempDir work;
    store::TableSchema earlier = project::projects_schema();
    for (const char* added : {project::field::Cbuildtimeout, project::field::Cfollowlinks})
        std::erase_if(earlier.fields, [&](const auto& f) { return f.name == added; });
    ASSERT_EQ(earlier.fields.size() + 2, project::projects_schema().fields.size());
    store::create_table(work.file("Projects.DB"), earlier);
    {
        store::Session session;
        store::Table projects(session, work.path(), "Projects.DB");
        projects.open();
        projects.insert();
        projects.set_text(project::field::Name, "Demo");
        projects.set_text(project::field::Cbuildcommand, "make");
        projects.post();
    }
    store::Session session;
    project::ProjectsTable data(session, work.path());
    ASSERT_TRUE(project::locate_project(data.Projects, "Demo"));
    EXPECT_EQ(data.Projects.integer(project::field::Cbuildtimeout), 600);
    EXPECT_FALSE(data.Projects.logical(project::field::Cfollowlinks));
    EXPECT_EQ(data.Projects.text(project::field::Cbuildcommand), "make");

    // The oldest table gets all four.
    TempDir oldest;
    std::filesystem::copy_file(LEXORIN_TEST_DATA "/projects/Projects_before_build_command.DB",
                               oldest.file("Projects.DB"));
    project::ProjectsTable migrated(session, oldest.path());
    ASSERT_TRUE(project::locate_project(migrated.Projects, "Demo"));
    EXPECT_EQ(migrated.Projects.integer(project::field::Cbuildtimeout), 600);
    EXPECT_FALSE(migrated.Projects.logical(project::field::Cfollowlinks));
}

TEST(ProjectsTableMigration, AnotherTableIsRefusedAndNotChanged) {
    TempDir work;
    store::create_table(
        work.file("Projects.DB"),
        store::TableSchema{
            {{"Index", store::FieldType::Integer}, {"Name", store::FieldType::Text}}, {}, true});
    const std::string before = read_test_file(work.file("Projects.DB"));
    store::Session session;
    EXPECT_THROW(project::ProjectsTable(session, work.path()), StoreError);
    EXPECT_EQ(read_test_file(work.file("Projects.DB")), before);
}

TEST(ProjectsTableMigration, AFileOfAnotherProgramIsStillRefused) {
    TempDir work;
    lexorin::testing::write_test_file(work.file("Projects.DB"), "not a table at all");
    store::Session session;
    EXPECT_THROW(project::ProjectsTable(session, work.path()), StoreError);
    EXPECT_EQ(read_test_file(work.file("Projects.DB")), "not a table at all");
}

TEST(ProjectsTableMigration, AnEarlierTableGetsTheDefaultNonTextProperties) {
    // A table of the version before the list, with a project whose forms were scanned then.
    TempDir work;
    store::TableSchema earlier = project::projects_schema();
    std::erase_if(earlier.fields,
                  [](const auto& f) { return f.name == project::field::Fnontextproperties; });
    ASSERT_EQ(earlier.fields.size() + 1, project::projects_schema().fields.size());
    store::create_table(work.file("Projects.DB"), earlier);
    {
        store::Session session;
        store::Table projects(session, work.path(), "Projects.DB");
        projects.open();
        projects.insert();
        projects.set_text(project::field::Name, "Laz");
        projects.set_text(project::field::Funwantedstrings, "Font.Name");
        projects.post();
    }
    ASSERT_EQ(read_test_file(work.file("Projects.DB")).find(project::field::Fnontextproperties),
              std::string::npos);
    const std::string defaults = join_crlf(project::DefaultNonTextProperties());
    {
        store::Session session;
        project::ProjectsTable data(session, work.path());
        ASSERT_TRUE(project::locate_project(data.Projects, "Laz"));
        EXPECT_EQ(data.Projects.text(project::field::Fnontextproperties), defaults);
        EXPECT_EQ(data.Projects.text(project::field::Funwantedstrings), "Font.Name");
        // The user's own list is kept from then on, an empty one too.
        data.Projects.edit();
        data.Projects.set_text(project::field::Fnontextproperties, "");
        data.Projects.post();
        // A project added later starts with the list as well.
        data.Projects.insert();
        data.Projects.set_text(project::field::Name, "Later");
        data.Projects.post();
    }
    store::Session session;
    project::ProjectsTable data(session, work.path());
    ASSERT_TRUE(project::locate_project(data.Projects, "Laz"));
    EXPECT_EQ(data.Projects.text(project::field::Fnontextproperties), "");
    ASSERT_TRUE(project::locate_project(data.Projects, "Later"));
    EXPECT_EQ(data.Projects.text(project::field::Fnontextproperties), defaults);
}

TEST(ProjectsTableMigration, TheDefaultNonTextPropertiesAreNamesOfOneLineEach) {
    const std::vector<std::string>& names = project::DefaultNonTextProperties();
    EXPECT_EQ(project::decode_list(join_crlf(names)), names);
    for (const char* name : {"LCLVersion", "TIPropertyName", "Category", "DataField", "KeyField",
                             "ListField", "FieldName", "IndexFieldNames", "DefaultExt"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    // Texts for people stay out: captions, hints, dialog filters with their descriptions, and
    // font names (which may be translated).
    for (const char* text : {"Caption", "Hint", "Text", "Filter", "Title", "Name", "Font.Name"})
        EXPECT_EQ(std::find(names.begin(), names.end(), text), names.end()) << text;
    for (const auto& name : names) EXPECT_EQ(name, trim(name));
}

}  // namespace
