#include "project/projects_table.h"

#include "base/errors.h"
#include "base/file_utils.h"
#include "base/text_utils.h"
#include "store/table_files.h"
#include "store/translation_tables.h"

namespace lexorin::project {

using store::FieldType;

const std::vector<std::string>& DefaultNonTextProperties() {
    static const std::vector<std::string> names{
        // versions, names of properties, classes and stored settings
        "LCLVersion", "TIPropertyName", "TIElementName", "Category", "SessionProperties",
        "RootNodePath", "DaemonClassName", "HTTPversion",
        // fields, tables and queries of data sets
        "DataField", "KeyField", "KeyFields", "ListField", "FieldName", "IndexFieldNames",
        "LookupKeyFields", "LookupResultField", "SortField", "PublicName", "FieldX", "FieldY",
        "FieldColor", "FieldText", "TableName", "ResourceName", "GeneratorName", "IndexFile",
        "DatabaseName", "SQL.Strings",
        // connections
        "ConnectionType", "HostName", "CharSet", "UserName", "Password", "DefaultConnection",
        "DefaultUserName", "DefaultPassword", "DefaultUserID", "PXLibrary",
        // files, paths, masks and help keys
        "DefaultExt", "EditMask", "FileName", "FilePath", "Directory", "IniFileName", "LHelpPath",
        "BaseURL", "HelpKeyword", "KeywordPrefix", "BrowserParams",
        // single characters and character sets
        "PasswordChar", "SpaceChar", "QuoteChar", "EndOfTokenChr", "IdentifierChars",
        // chart settings: number lists and expressions
        "PenPattern", "AffectedSeries", "NiceSteps", "Expression", "Variable", "Domain",
        // the buttons of a button panel, named in the form
        "OKButton.Name", "HelpButton.Name", "CloseButton.Name", "CancelButton.Name"};
    return names;
}

const store::TableSchema& projects_schema() {
    static const store::TableSchema schema{
        {{field::Name, FieldType::Text},
         {field::Directory, FieldType::Text},
         {field::Recoursive, FieldType::Logical, "1"},
         {field::Excluded, FieldType::Memo},
         {field::Languages, FieldType::Memo},
         {field::Reserve, FieldType::Memo},
         {field::SourceExtensions, FieldType::Text, "*.pas"},
         {field::FormsExtension, FieldType::Text, "*.dfm"},
         {field::Cignoreinterface, FieldType::Logical, "1"},
         {field::Ceditchars, FieldType::Text,
          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"},
         {field::Cminlength, FieldType::Integer, "2"},
         {field::Ccontextlines, FieldType::Integer, "5"},
         {field::Cstartignore, FieldType::Text},
         {field::Cunwantedstrings, FieldType::Memo},
         {field::Cunwantedwordparts, FieldType::Memo},
         {field::Funwantedstrings, FieldType::Memo},
         {field::Cbuildcommand, FieldType::Text},
         {field::Cverify, FieldType::Logical, "0"},
         {field::Cbuildtimeout, FieldType::Integer, "600"},
         {field::Cfollowlinks, FieldType::Logical, "0"},
         {field::Ckind, FieldType::Text, "Delphi"},
         {field::Ccodepage, FieldType::Text},
         {field::Fnontextproperties, FieldType::Memo, join_crlf(DefaultNonTextProperties())}},
        {},
        false};
    return schema;
}

void ensure_projects_table(const std::string& directory) {
    if (!store::find_file_no_case(directory, kProjectsFile).empty()) return;
    store::create_table(join_path(directory, kProjectsFile), projects_schema());
}

ProjectsTable::ProjectsTable(store::Session& session, const std::string& directory)
    : Projects(session, directory, kProjectsFile) {
    ensure_projects_table(directory);
    // Tables written before these fields existed get them.
    if (!session.is_in_use(Projects.path()))
        store::add_missing_fields(
            session, Projects.path(), projects_schema(),
            {field::Cbuildcommand, field::Cverify, field::Cbuildtimeout, field::Cfollowlinks,
             field::Ckind, field::Ccodepage, field::Fnontextproperties});
    Projects.open();
    store::check_schema(Projects, projects_schema());
}

std::vector<std::string> decode_list(const std::string& text) {
    return SplitLines(text);
}

std::string encode_list(const std::vector<std::string>& items) {
    return join_crlf(items);
}

bool locate_project(store::Table& projects, const std::string& name) {
    for (projects.first(); !projects.eof(); projects.next())
        if (projects.text(field::Name) == name) return true;
    return false;
}

void require_project(store::Table& projects, const std::string& name) {
    if (!locate_project(projects, name)) throw Error("There is no project named " + name + ".");
}

std::vector<std::string> project_names(store::Table& projects) {
    std::vector<std::string> names;
    for (projects.first(); !projects.eof(); projects.next())
        names.push_back(projects.text(field::Name));
    return names;
}

void check_file_name_part(const std::string& name, const std::string& what) {
    auto refuse = [&](const std::string& why) {
        throw Error("The " + what + " \"" + name + "\" cannot be used: " + why);
    };
    if (trim(name).empty()) refuse("it is empty.");
    if (name != trim(name)) refuse("it begins or ends with a blank.");
    if (name.find("..") != std::string::npos) refuse("it contains \"..\".");
    for (unsigned char c : name) {
        if (c < 32 || c == 127) refuse("it contains a control character.");
        if (std::string("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            refuse(std::string("it contains the character ") + static_cast<char>(c) +
                   ", which cannot stand in a file name.");
    }
}

void add_project(store::Table& projects, const NewProject& project,
                 const LazarusInstallation& lazarus) {
    check_file_name_part(project.name, "project name");
    if (locate_project(projects, project.name))
        throw Error("A project named " + project.name + " already exists.");
    // Table files are named after the project: on a file system that ignores letter case two
    // such names would share them.
    for (const auto& other : project_names(projects))
        if (equal_no_case(other, project.name))
            throw Error("A project named " + other +
                        " already exists; names that differ only in "
                        "letter case would share their table files.");
    if (!directory_exists(project.directory))
        throw Error("The directory " + project.directory + " does not exist.");
    std::vector<std::string> excluded;
    for (const auto& entry : project.excluded)
        add_excluded_entry(excluded, entry, project.directory);
    projects.insert();
    try {
        projects.set_text(field::Name, project.name);
        projects.set_text(field::Directory, project.directory);
        projects.set_logical(field::Recoursive, project.recursive);
        projects.set_text(field::Excluded, encode_list(excluded));
        const ProjectKind kind =
            project.kind ? *project.kind
                         : DetectProjectKind(project.directory, project.recursive, excluded);
        SetProjectKind(projects, kind, lazarus);
        projects.post();
    } catch (...) {
        projects.cancel();
        throw;
    }
}

bool add_excluded_entry(std::vector<std::string>& excluded, const std::string& entry,
                        const std::string& project_directory) {
    std::string text = trim(entry);
    if (text.empty() || text == project_directory) return false;
    if (text.back() != '/') text += '/';
    for (const auto& stored : excluded)
        if (stored == text) return false;
    excluded.push_back(text);
    return true;
}

bool add_excluded_directory(store::Table& projects, const std::string& entry) {
    std::vector<std::string> excluded = decode_list(projects.text(field::Excluded));
    if (!add_excluded_entry(excluded, entry, projects.text(field::Directory))) return false;
    projects.edit();
    projects.set_text(field::Excluded, encode_list(excluded));
    projects.post();
    return true;
}

}  // namespace lexorin::project
