#pragma once

// The hints of the project window's controls and menu items (the scan dialogs show the project
// name's too): a tooltip, a "|" and the long text that the help panel shows. A CR LF starts a
// new line of the panel.
namespace lexorin::gui::hints {

inline constexpr const char* kNavigator =
    "Select / add a project|Use this navigator to browse through your projects.\r\nA project is "
    "mainly defined by a name and the directory of your source files. You should organize your "
    "projects in a way that all the sourcecode is located in one directory (plus subdirectories).";
inline constexpr const char* kProjectName = "Type the name of the project.";
inline constexpr const char* kProjectDirectory =
    "Choose or type a driectory|This is the directory with your project.";
inline constexpr const char* kProjectKind =
    "Delphi or Lazarus sources|A Delphi project scans its .pas units and .dfm forms and keeps "
    "its texts in the program's code page. A Lazarus project scans its .pas, .pp and .lpr units "
    "and .lfm forms, keeps its texts in UTF-8 and is built with fpc and the LCL (or "
    "lazbuild).\r\n\r\nA new project gets the kind of the files in its directory. Changing the "
    "kind changes the extensions, the code page and the build command, unless you changed them "
    "yourself.";
inline constexpr const char* kRecursive =
    "Translate|If this box is checked, you will also scan and translate the \r\nsubdirectories of "
    "the specified diretory.";
inline constexpr const char* kExcludedFolders =
    "These directories are excluded|The directories you choose here are not included into your "
    "scan.\r\n\r\nUse this feature for directories with tools, which do not directly communicate "
    "with the user.";
inline constexpr const char* kLanguages =
    "Select a langauge|These are the languages for your project. For every new language a new "
    "table is created.\r\n\r\nDon't worry about version changes after new scans. Just check the "
    "tables for the different languages, using the function \"Edit\".";
inline constexpr const char* kWhatNow =
    "Gives you a hint about what to do|Press this button, if you want to know the status of your "
    "project and want to know what to do now.\r\n\r\nThe status info is always abour the selected "
    "language!";
inline constexpr const char* kDeleteProject =
    "Delete a project|This function deletes only the project information, but NOT the "
    "translations.\r\n\r\nPlease note that if you have scanned the source code, you will NOT be "
    "able to compile the project until you have used the function \"Write changes\"! After this, "
    "NEVER delete the file \"strings.org\".";
inline constexpr const char* kScanCode =
    "Scans the PAS-files|This step will scan all files meeting above criteria for strings and add "
    "them to the translation database.\r\nAll found strings are replaced with a resource string of "
    "the following form: ''+s_xyz+'' where xyz will be the unique id in the database.\r\nOnce you "
    "ran the scan process you will not(!) be able to compile your project until you run the "
    "translate step.\r\nAs always: MAKE A BACKUP BEFORE THIS STEP!";
inline constexpr const char* kScanForms =
    "Scan the forms|This step will scan your forms and copy the strings into your database. No "
    "original files will be changed.";
inline constexpr const char* kViewCodeResults =
    "View the results|View the results of your code scan. Here you can also change text strings, "
    "but in order to do the translation, better use \"Edit\".";
inline constexpr const char* kViewFormResults =
    "View the results|View the results of your forms scan. Here you can also change text "
    "strings, but in order to do the translation, better use \"Edit\".";
inline constexpr const char* kEditTranslations =
    "Do the translation|Here you can do the real translation.";
inline constexpr const char* kWriteCode =
    "Write code changes|This step will collect your ressource strings in the files "
    "\"strings.org\" and \"strings.tra\".\r\nCopy the files \"lx_lang.pas\" and \"lx_lang.inc\" "
    "into your search path. According to the setting in \"lx_lang.inc\", your code will be "
    "compiled in the original or the translation language.";
inline constexpr const char* kWriteForms =
    "Write the changes to the forms|For each form found in the project directories a translated "
    "form is created. Strings that are not translated stay as they are.\r\nThe new files have the "
    "extension \".tra.res\" and lie beside the corresponding \".dfm\" file. They are linked into "
    "your project when the compiler switch \"TranslatedForm\" is set in the file "
    "\"lx_lang.inc\".\r\n"
    "\r\nNO ORIGINAL FILES WILL BE CHANGED!";
inline constexpr const char* kExportPo =
    "Export a PO file|Writes the strings of the selected language to a PO file (UTF-8) for the "
    "tools translators use. Each entry names its row, and a translation not marked as done is "
    "marked fuzzy.";
inline constexpr const char* kImportPo =
    "Import a PO file|Takes the translations of a PO file of the selected language into its "
    "tables. Only entries whose original still matches their row are applied; the others are "
    "listed. A file that cannot be read changes nothing.";
inline constexpr const char* kExportTmx =
    "Export the translation memory|Writes the translation memory's entries of the selected "
    "language to a TMX file, which other projects and tools can import.";
inline constexpr const char* kImportTmx =
    "Import into the translation memory|Adds the translations of a TMX file to the translation "
    "memory of this program directory, where every project finds them.";
inline constexpr const char* kPretranslate =
    "Pretranslate from the memory|Fills the untranslated rows of the selected language from the "
    "translation memory: a row whose original the memory holds is translated, a row with a "
    "similar original gets that translation as a suggestion to review.";

}  // namespace lexorin::gui::hints
