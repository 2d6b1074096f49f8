#pragma once

#include <string>
#include <vector>

#include "base/reporter.h"
#include "project/file_walker.h"

// The backup of a project's unit and form files into a ZIP archive in the program directory,
// offered when a project's directory is first given, before any scan rewrites a unit.
namespace lexorin::project {

// The files a scan of a Delphi or a Lazarus project may rewrite or write beside: units, program
// files and forms. A project's own masks are added to these (see SourceCheck).
inline constexpr const char* kBackupMasks = "*.pas;*.dfm;*.dpr;*.pp;*.lpr;*.lfm";

// The program directory + project name + ".zip".
std::string backup_archive_path(const std::string& program_directory,
                                const std::string& project_name);

// "Demo/src/unit1.pas" for "/Demo/src/./unit1.pas": the absolute, normalised path without its
// leading "/", so that no member name climbs out of the folder it is unpacked into.
std::string backup_member_name(const std::string& file);

// The source check, run when the directory field is left: collects the project's files with
// kBackupMasks and warns "Warning: The directory <dir> does not countain files with the
// extensions *.pas or *.dfm." when there are none, and "Backup: the folder <folder> cannot be
// read: <reason>" for each folder it could not read (also added to `problems` when given).
// Files and folders reached through links out of the directory are left out as the scans leave
// them out (the project's Cfollowlinks gives `links`), each with a "Backup: " warning the same
// way. `project_masks`, the project's unit and form masks, are collected too: a scan rewrites
// whatever they take. Returns the files.
std::vector<std::string> SourceCheck(const std::string& directory, bool recursive,
                                     const std::vector<std::string>& excluded, Reporter& reporter,
                                     std::vector<std::string>* problems = nullptr,
                                     OutsideLinks links = OutsideLinks::Skip,
                                     const std::string& project_masks = {});

struct BackupResult {
    int added = 0;
    int replaced = 0;  // members of an earlier backup given the file's current content
    std::vector<std::string> failures;  // the "Backup: " messages, one per file left out
    std::string archive;                // the archive's path
    std::string message;                // the success text, for an information box
};

// Adds the files to the archive (created, or opened and added to), Deflate at the normal level
// and stored where Deflate does not make a member smaller. A file that cannot be added is
// reported as "Backup: " + the reason and left out; the others go on. The archive is written
// to a temporary file and renamed over the old one when complete: raises Error when it cannot
// be opened or written, and then the old archive is as it was.
BackupResult BackupFiles(const std::string& archive_path, const std::vector<std::string>& files,
                         Reporter& reporter);

// The question of the backup offer: "Do you want all your .pas and .dfm files to be
// automatically backed up\rinto <project>.zip in the Lexorin directory?". False on No; on Yes
// raises Error when the project name cannot name a file.
bool ConfirmBackup(const std::string& project_name, Reporter& reporter);

// The backup of a registered project without asking: its files (the warning above when there
// are none) into its archive.
BackupResult BackupProject(const std::string& program_directory, const std::string& project_name,
                           const std::string& directory, bool recursive,
                           const std::vector<std::string>& excluded, Reporter& reporter,
                           OutsideLinks links = OutsideLinks::Skip,
                           const std::string& project_masks = {});

}  // namespace lexorin::project
