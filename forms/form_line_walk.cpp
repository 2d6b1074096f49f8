#include "forms/form_line_walk.h"

#include "base/errors.h"
#include "base/text_routines.h"
#include "base/text_utils.h"

namespace lexorin::forms {

namespace {

// An object element names its object by the part before ":" ("BUTTON1: TBUTTON" gives
// "BUTTON1"); an element without ":" (an item, or an object without a name) stands as it is.
std::string_view ElementName(std::string_view element) {
    return trim_view(element.substr(0, element.find(':')));
}

// An object element holds at most this much of its line, as the stack's strings did.
constexpr std::size_t kMaxElement = 255;

}  // namespace

void FormLineWalk::Open(std::string element) {
    path_starts_.push_back(object_path_.size());
    object_path_ += '.';
    object_path_ += ElementName(element);
    path_stack_.push_back(std::move(element));
}

void FormLineWalk::Classify(std::string_view line, std::size_t line_number) {
    if (std::size_t equals = line.find('='); equals != std::string_view::npos) {
        // Also for an "=" inside a quoted list element ('a=b'): its text before the "=", quote
        // included, becomes the name. The writer does the same, so the keys still meet.
        property_name_.assign(trim_view(line.substr(0, equals)));
        property_counter_ = 0;
    }
    // Keywords are compared without regard to case; the element keeps the line upper-cased.
    const std::string_view t = trim_view(line);
    // An embedded frame ("inline") is an object like any other for paths and keys.
    for (std::string_view keyword : {"OBJECT ", "INHERITED ", "INLINE "}) {
        if (starts_with_no_case(t, keyword)) {
            Open(upper_case(t.substr(keyword.size(), kMaxElement)));
            item_counter_ = 0;
            return;
        }
    }
    if (equal_no_case(t, "ITEM")) {
        Open("ITEM." + std::to_string(item_counter_++));
    } else if (equal_no_case(t, "END") || equal_no_case(t, "END>")) {
        if (path_stack_.empty())
            throw Error("line " + std::to_string(line_number) +
                        ": \"end\" closes no object or item");
        path_stack_.pop_back();
        object_path_.resize(path_starts_.back());
        path_starts_.pop_back();
    }
}

std::string FormLineWalk::PropertyKey() const {
    return property_name_ + "." + std::to_string(property_counter_);
}

std::optional<std::string> ExtractFormString(std::string_view line) {
    std::size_t quote = line.find('\'');
    if (quote == std::string_view::npos) return std::nullopt;
    std::string_view rest = line.substr(quote + 1);
    // The closing quote is the last byte; the last element of a list has ")" after it.
    std::size_t cut = !rest.empty() && rest.back() == ')' ? 2 : 1;
    std::string_view inner = rest.size() >= cut ? rest.substr(0, rest.size() - cut) : "";
    std::string text = UnescapeApostrophes(inner);
    if (trim(text).empty()) return std::nullopt;
    return text;
}

int CountSpacesAtEnd(std::string_view text) {
    std::size_t end = text.find_last_not_of(' ');
    return static_cast<int>(end == std::string_view::npos ? text.size() : text.size() - end - 1);
}

void WalkLine(FormLineWalk& walk, std::string_view line, std::size_t index,
              const std::string& form_path, const char* what, Reporter* status) {
    try {
        walk.Classify(line, index + 1);
    } catch (const Error& e) {
        throw Error(std::string(what) + " " + form_path + ": " + e.what());
    }
    if (!status) return;
    status->still_working();
    if (index % 10 == 1)
        status->status("Processing " + form_path + " line " + std::to_string(index));
}

}  // namespace lexorin::forms
