#include "corpus/displayed_translation.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

namespace lexorin::corpus {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// One string of a form row's property: a property written in several pieces has a row for each.
struct RowPiece {
    int piece = 0;
    const PoEntry* entry = nullptr;
    bool linked = false;  // its form file is linked translated
};

struct RowKey {
    std::string key;
    int piece = 0;
    std::string form_file;
};

// The key under which the program prints what a form row holds, upper case, a collection's
// items as ITEM[n]: ".FORM1.PANEL1.LABEL1" "Caption.0" is FORM1.LABEL1.CAPTION (piece 0),
// ".MAINFORM.GRID.ITEM.2" "Title.Caption.0" is MAINFORM.GRID.ITEM[2].TITLE.CAPTION and
// "Lines.Strings.3" a string list's line, MEMO1.LINES[3]. The row's context is
// "forms <Index> <form file> <object path> <property>".
std::optional<RowKey> PrintedKeyOfRow(const std::string& context) {
    const std::vector<std::string> words = Split(context, ' ');
    if (words.size() < 5 || words[0] != "forms") return std::nullopt;
    const std::string& property = words.back();
    std::vector<std::string> path = Split(Upper(words[words.size() - 2]), '.');
    if (!path.empty() && path.front().empty()) path.erase(path.begin());
    std::vector<std::string> items;
    while (path.size() >= 3 && path[path.size() - 2] == "ITEM" && IsNumber(path.back())) {
        items.insert(items.begin(), path.back());
        path.resize(path.size() - 2);
    }
    const size_t dot = property.rfind('.');
    if (path.empty() || dot == std::string::npos || !IsNumber(property.substr(dot + 1)))
        return std::nullopt;
    RowKey row;
    for (size_t word = 2; word + 2 < words.size(); ++word)
        row.form_file += (word > 2 ? " " : "") + words[word];
    const std::string counter = property.substr(dot + 1);
    const std::string name = Upper(property.substr(0, dot));
    row.key = path.front() + "." + path.back() + ".";
    for (const auto& item : items) row.key += "ITEM[" + item + "].";
    if (EndsWith(name, ".STRINGS")) {
        row.key += name.substr(0, name.size() - 8) + "[" + counter + "]";
    } else {
        row.key += name;
        row.piece = std::stoi(counter);
    }
    return row;
}

// "Font.Name" of "Form1.Button1.Font.Name", "Lines[]" of "Form1.Memo1.Lines[3]".
std::string PropertyOf(const std::string& key) {
    const size_t component_end = key.find('.', key.find('.') + 1);
    std::string property = key.substr(component_end + 1);
    for (size_t open = property.find('['); open != std::string::npos;
         open = property.find('[', open + 1)) {
        const size_t close = property.find(']', open);
        if (close != std::string::npos) property.erase(open + 1, close - open - 1);
    }
    return property;
}

// "FORM1|FONT.NAME" of "FORM1.BUTTON1.FONT.NAME": a property of any control of a form.
std::string FormProperty(const std::string& key) {
    const size_t form_end = key.find('.');
    const size_t component_end = key.find('.', form_end + 1);
    return key.substr(0, form_end) + "|" + key.substr(component_end + 1);
}

// A printed key made comparable with the rows': upper case, a collection property's name before
// an item's index ("Columns[2].") as ITEM.
std::string ComparableKey(const std::string& printed) {
    std::string key = Upper(printed);
    for (size_t open = key.find('['); open != std::string::npos; open = key.find('[', open + 1)) {
        const size_t close = key.find(']', open);
        if (close == std::string::npos || close + 1 >= key.size() || key[close + 1] != '.')
            continue;
        const size_t start = key.rfind('.', open) + 1;
        key.replace(start, open - start, "ITEM");
        open = start + 4;
    }
    return key;
}

// Appends the UTF-8 form of the character `code`.
void AppendUtf8(std::string& text, unsigned code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A row text as the program holds it. The form scanner keeps what stands between a string's
// first and last quote, so that a text with an apostrophe or a #code reads in the form text's
// notation ("Hint = ''''", "then '#13#10'you"); read as the string expression it is there, it
// gives the text itself. Anything that is no such expression is the text as it stands.
// `notation` tells whether the two differ.
std::string ProgramText(const std::string& row_text, bool& notation) {
    const std::string expression = "'" + row_text + "'";
    std::string text;
    notation = false;
    size_t i = 0;
    while (i < expression.size()) {
        if (expression[i] == '\'') {
            for (++i;; ++i) {
                if (i >= expression.size()) return row_text;
                if (expression[i] != '\'') {
                    text += expression[i];
                } else if (i + 1 < expression.size() && expression[i + 1] == '\'') {
                    text += '\'';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else if (expression[i] == '#') {
            size_t end = i + 1;
            while (end < expression.size() &&
                   std::isdigit(static_cast<unsigned char>(expression[end])))
                ++end;
            if (end == i + 1) return row_text;
            AppendUtf8(text,
                       static_cast<unsigned>(std::stoul(expression.substr(i + 1, end - i - 1))));
            i = end;
        } else {
            return row_text;
        }
    }
    notation = text != row_text;
    return text;
}

// Whether `shown` is `original` with pieces that the program's code put together from its
// string literals (Edit1.Text := 'Press ' + Key + ' for help') each replaced by its translation.
bool ComposedFromCode(const std::string& original, const std::string& shown,
                      const std::map<std::string, std::string>& code_translations) {
    std::set<std::pair<size_t, size_t>> failed;
    std::function<bool(size_t, size_t)> match = [&](size_t i, size_t j) {
        if (i == original.size() && j == shown.size()) return true;
        if (failed.count({i, j})) return false;
        for (const auto& [from, to] : code_translations)
            if (!from.empty() && original.compare(i, from.size(), from) == 0 &&
                shown.compare(j, to.size(), to) == 0 && match(i + from.size(), j + to.size()))
                return true;
        if (i < original.size() && j < shown.size() && original[i] == shown[j] &&
            match(i + 1, j + 1))
            return true;
        failed.insert({i, j});
        return false;
    };
    return match(0, 0);
}

bool Effective(const PoEntry& row) {
    return !row.msgstr.empty() && !row.fuzzy && !HasCommentLine(row, kIgnoreMark);
}

// A value as a form file writes it between quotes.
std::string Quoted(const std::string& value) {
    std::string quoted = "'";
    for (char c : value) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

std::string Shown(const std::string& key, const std::string& original, const std::string& wanted,
                  const std::string& shown) {
    return key + ": original \"" + original + "\", expected \"" + wanted + "\", shown \"" + shown +
           "\"";
}

}  // namespace

DisplayCheck CheckDisplayedTranslation(const FormTexts& original, const FormTexts& translated,
                                       const std::vector<PoEntry>& rows,
                                       const std::set<std::string>& linked_forms,
                                       const std::string& form_files) {
    std::map<std::string, std::vector<RowPiece>> form_rows;
    std::map<std::string, std::string> code_translations;
    // Per form and property, the translations of its rows: what a control may take from the
    // control it inherits the property from.
    std::map<std::string, std::map<std::string, std::string>> form_translations;
    for (const PoEntry& row : rows) {
        if (row.context.rfind("code ", 0) == 0) {
            if (Effective(row)) code_translations[row.msgid] = row.msgstr;
            continue;
        }
        if (const auto key = PrintedKeyOfRow(row.context)) {
            const bool linked = linked_forms.count(key->form_file) > 0;
            form_rows[key->key].push_back({key->piece, &row, linked});
            if (linked && Effective(row))
                form_translations[FormProperty(key->key)][row.msgid] = row.msgstr;
        }
    }
    for (auto& [key, pieces] : form_rows)
        std::sort(pieces.begin(), pieces.end(),
                  [](const RowPiece& a, const RowPiece& b) { return a.piece < b.piece; });

    DisplayCheck check;
    for (const auto& [key, value] : original) {
        ++check.printed;
        const auto shown = translated.find(key);
        if (shown == translated.end()) {
            check.mismatches.push_back(key + ": original \"" + value + "\", not shown translated");
            continue;
        }
        const auto found = form_rows.find(ComparableKey(key));
        if (found != form_rows.end()) {
            std::string row_original, wanted;
            bool ignored = false, unlinked = false, notation = false;
            for (const RowPiece& piece : found->second) {
                bool in_notation = false;
                row_original += ProgramText(piece.entry->msgid, in_notation);
                notation = notation || in_notation;
                const bool effective = Effective(*piece.entry);
                wanted += ProgramText(
                    effective && piece.linked ? piece.entry->msgstr : piece.entry->msgid,
                    in_notation);
                ignored = ignored || HasCommentLine(*piece.entry, kIgnoreMark);
                unlinked = unlinked || (effective && !piece.linked);
            }
            if (row_original == value) {
                if (unlinked) check.not_linked.push_back(key + "=" + value);
                if (shown->second == wanted) {
                    if (wanted != value)
                        ++check.german;
                    else if (ignored)
                        ++check.ignored;
                    else if (!unlinked)
                        ++check.untranslated;
                } else if (notation && shown->second == value) {
                    check.in_notation.push_back(key + "=" + value);
                } else if (shown->second != value &&
                           ComposedFromCode(value, shown->second, code_translations)) {
                    ++check.from_code;
                } else {
                    check.mismatches.push_back(Shown(key, value, wanted, shown->second));
                }
                continue;
            }
        }
        // A value no form row holds as it stands: unchanged, unless the program's code built it
        // from its translated strings or the control took it from a translated row of its form.
        if (shown->second != value && ComposedFromCode(value, shown->second, code_translations)) {
            ++check.from_code;
            continue;
        }
        const auto inherited = form_translations.find(FormProperty(ComparableKey(key)));
        if (found == form_rows.end() && inherited != form_translations.end()) {
            const auto from = inherited->second.find(value);
            if (from != inherited->second.end() && shown->second == from->second) {
                ++check.inherited;
                continue;
            }
        }
        if (shown->second != value) {
            check.mismatches.push_back(Shown(key, value, value, shown->second));
            continue;
        }
        if (found != form_rows.end()) {
            std::string row_original;
            for (const RowPiece& piece : found->second) row_original += piece.entry->msgid;
            check.set_at_run_time.push_back(key + "=" + value + " (row: " + row_original + ")");
            continue;
        }
        ++check.without_row[PropertyOf(key)];
        if (!EndsWith(key, ".Name") && form_files.find(Quoted(value)) != std::string::npos)
            check.left_out.push_back(key + "=" + value);
    }
    for (const auto& [key, value] : translated)
        if (!original.count(key))
            check.mismatches.push_back(key + ": shown translated only, \"" + value + "\"");
    return check;
}

}  // namespace lexorin::corpus
