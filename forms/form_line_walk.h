#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/reporter.h"

// The rules by which the form scanner and the translated form writer walk a form's text line by
// line and name every string they meet: the object path of the component that holds it and the
// property key. Both must apply exactly the same rules, or the writer would not find the rows the
// scanner made, so they live here once.
namespace lexorin::forms {

// Where a walk through a form text stands after each line.
class FormLineWalk {
  public:
    // Applies one line: a "=" starts a property (the text before it, trimmed, is its name, and
    // its string count starts again); "object"/"inherited" lines open an object, "item" lines an
    // item, "end"/"end>" lines close the innermost one ("inline" lines open an object too). Raises
    // an Error when an "end" closes nothing; `line_number` (one-based) goes into the message.
    void Classify(std::string_view line, std::size_t line_number);

    // ".FORM1.PANEL1.BUTTON1", ".FORM1.DBGRID1.ITEM.0": one "." and the name per open element.
    const std::string& ObjectPath() const { return object_path_; }
    // The property name as written and the number of strings seen for it: "Items.Strings.2".
    std::string PropertyKey() const;
    // Called once a string of the current property has been counted.
    void NextString() { ++property_counter_; }

  private:
    void Open(std::string element);

    // Open elements, bottom first: the upper-cased text after "OBJECT "/"INHERITED "/"INLINE " (as
    // "BUTTON1: TBUTTON") or "ITEM." and the item's number.
    std::vector<std::string> path_stack_;
    // ObjectPath, kept in step with the stack, and where each element's part of it begins.
    std::string object_path_;
    std::vector<std::size_t> path_starts_;
    int item_counter_ = 0;  // reset by object lines only, so items of one object number on
    std::string property_name_;
    int property_counter_ = 0;
};

// One step of a walk over a form's lines as the scanner and the writer take it: the line
// classified (a failure raised as "<what> <form>: <reason>", as "Cannot scan ..."), the user
// interface let to repaint, and "Processing <form> line <n>" on every tenth line.
void WalkLine(FormLineWalk& walk, std::string_view line, std::size_t index,
              const std::string& form_path, const char* what, Reporter* status);

// The string a form text line holds, when it holds one worth recording: the text after the
// line's first quote up to the closing quote at the end of the line (before a final ")" of the
// last list element), with '#39' turned back into an apostrophe. None when the line has no quote
// or the string is empty or blank. A string that the text form splits into pieces or mixes with
// "#" codes comes out with the quotes and codes as they stand.
std::optional<std::string> ExtractFormString(std::string_view line);

// The number of blanks at the end of a string; the table store keeps no trailing blanks, so
// this count brings them back.
int CountSpacesAtEnd(std::string_view text);

}  // namespace lexorin::forms
