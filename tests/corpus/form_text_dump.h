#pragma once

// What an LCL program's forms show, printed by the program itself: a unit of the test's own,
// FormTextDump, added to the program's uses clause, prints every published string of every form
// and its components once the forms exist, then ends the program. Runs take a virtual display
// (xvfb-run), so that a real widgetset shows the forms.

#include <map>
#include <string>

namespace lexorin::corpus {

// The unit's file name and the environment variable that names the file it prints into.
inline constexpr const char* kFormTextDumpFile = "formtextdump.pas";
inline constexpr const char* kFormTextDumpTarget = "FORM_TEXT_DUMP";

// Writes the unit into `folder` and adds it to the uses clause of the program file `main` there,
// right after the widgetset unit Interfaces; nothing else of the program changes. Throws when
// the program's uses clause has no Interfaces.
void AddFormTextDump(const std::string& folder, const std::string& main);

// The printed texts, by key: "Form.Component.Property" (the form's own properties under
// "Form.Form.Property"), with sub-objects' properties as "Font.Name", a collection's items as
// "Columns[2].Title.Caption" and a string list's lines as "Lines[0]"; empty values left out.
using FormTexts = std::map<std::string, std::string>;

// The lines "key=value" the unit prints, their escapes (\\ \n \r \t \xHH) undone.
FormTexts ReadFormTexts(const std::string& printed);

struct FormTextRun {
    bool printed = false;  // the program printed its forms and ended in time
    int status = -1;       // its exit status (124 when stopped at the time limit)
    FormTexts texts;
    std::string log;  // what the program and the display wrote to stdout and stderr
    double seconds = 0;
};

// Runs `executable` (built with the unit) on a virtual display of its own, in `folder` and with
// HOME at `home`, stopping it after `time_limit` seconds.
FormTextRun RunWithFormTextDump(const std::string& executable, const std::string& folder,
                                const std::string& home, int time_limit);

}  // namespace lexorin::corpus
