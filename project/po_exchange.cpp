#include "project/po_exchange.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "base/errors.h"
#include "base/literal_text.h"
#include "base/text_utils.h"
#include "project/language_codes.h"
#include "project/memory_feed.h"
#include "project/po_file.h"
#include "project/translation_checks.h"
#include "project/translation_write.h"
#include "store/held_tables.h"
#include "store/translation_fields.h"

namespace lexorin::project {

using store::TableKind;

namespace {

// "2024-05-01 14:03+0200", the date form of PO headers.
std::string po_date_now() {
    return local_time_text("%Y-%m-%d %H:%M%z");
}

// Index -> UnitName of a file list table.
std::map<std::int64_t, std::string> file_names(store::Table& files) {
    std::map<std::int64_t, std::string> names;
    for (files.first(); !files.eof(); files.next())
        names[files.integer(store::field::Index)] = files.text(store::field::UnitName);
    return names;
}

std::string lookup(const std::map<std::int64_t, std::string>& names, std::int64_t index) {
    auto it = names.find(index);
    return it == names.end() ? std::string("?") : it->second;
}

std::string entry_label(TableKind kind, std::int64_t index) {
    return std::string(table_kind_label(kind)) + " " + std::to_string(index);
}

// msgfmt refuses an entry whose msgid and msgstr do not both begin, and both end, with "\n".
bool newlines_agree(const std::string& a, const std::string& b) {
    auto begins = [](const std::string& s) { return !s.empty() && s.front() == '\n'; };
    auto ends = [](const std::string& s) { return !s.empty() && s.back() == '\n'; };
    return begins(a) == begins(b) && ends(a) == ends(b);
}

// The code that translators' tools expect in the "Language" field, for the English names of
// common languages; other names get no such field (msgfmt only warns about that).
std::string language_code(const std::string& language) {
    return LanguageCode(language);
}

std::string header_text(const std::string& project, const std::string& language,
                        const CodePage& code_page) {
    std::string date = po_date_now();
    return "Project-Id-Version: " + code_page.to_utf8(project) +
           "\nReport-Msgid-Bugs-To: \nPOT-Creation-Date: " + date + "\nPO-Revision-Date: " + date +
           "\nLast-Translator: \nLanguage-Team: " + code_page.to_utf8(language) +
           (language_code(language).empty() ? std::string()
                                            : "\nLanguage: " + language_code(language)) +
           "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
           "Content-Transfer-Encoding: 8bit\nX-Generator: Lexorin\nX-Lexorin-Project: " +
           code_page.to_utf8(project) + "\nX-Lexorin-Language: " + code_page.to_utf8(language) +
           "\nX-Lexorin-Code-Page: " + code_page.name() + "\n" + kCodeTextField + ": " +
           kCodeTextNatural + "\n";
}

// Whether an entry still belongs to its row: the file's original equals the row's. A code
// entry of a file written before code texts were natural holds the literal body (Don''t).
bool same_original(const std::string& stored, const std::string& in_file, bool code_row) {
    return (code_row && LiteralText(stored) == in_file) || stored == in_file;
}

// The stored form of a code translation from the file. A file written before code texts were
// natural holds bodies, or text typed as it reads where the translator did not double an
// apostrophe: a valid body is kept, anything else made into one.
std::string code_translation_from_file(const std::string& text, bool natural_file) {
    return natural_file ? LiteralBody(text) : WritableLiteralBody(text);
}

struct ContextKey {
    TableKind kind;
    std::int64_t index;
    bool operator<(const ContextKey& o) const {
        return kind != o.kind ? kind < o.kind : index < o.index;
    }
};

// The kind and `Index` at the start of a msgctxt; the rest only tells the translator where.
std::optional<ContextKey> parse_context(const std::string& context) {
    size_t space = context.find(' ');
    if (space == std::string::npos) return std::nullopt;
    std::string kind_word = context.substr(0, space);
    TableKind kind;
    if (kind_word == "code")
        kind = TableKind::Pascal;
    else if (kind_word == "forms")
        kind = TableKind::Forms;
    else
        return std::nullopt;
    size_t end = context.find(' ', space + 1);
    std::string digits =
        context.substr(space + 1, end == std::string::npos ? std::string::npos : end - space - 1);
    if (digits.empty() || digits.size() > 15 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return ContextKey{kind, std::stoll(digits)};
}

bool has_ignore_mark(const std::string& comments) {
    for (const auto& line : read_text_lines(comments))
        if (trim(line) == kIgnoreComment) return true;
    return false;
}

// A context as the user may read it in a message: the 8-bit form when it converts.
std::string readable(const std::string& utf8, const CodePage& code_page) {
    try {
        return code_page.from_utf8(utf8);
    } catch (const Error&) {
        return utf8;
    }
}

struct PlannedUpdate {
    ContextKey key;
    std::string label;  // the msgctxt, for messages
    std::string original;
    std::string translation;  // "" when the entry has none
    bool fuzzy = false;
    bool ignore = false;
};

}  // namespace

PoExportResult ExportPo(store::LanguageTables& tables, const std::string& po_path,
                        const CodePage& code_page, Reporter& reporter) {
    const std::string& project = tables.project;
    const std::string& language = tables.language;
    auto unit_names = file_names(tables.unit_files.table());
    auto form_names = file_names(tables.form_files.table());

    PoExportResult result;
    PoCatalog catalog;
    catalog.header = header_text(project, language, code_page);
    for (TableKind kind : {TableKind::Pascal, TableKind::Forms}) {
        bool code = kind == TableKind::Pascal;
        store::Table& table = code ? tables.pascal.table() : tables.forms.table();
        for (table.first(); !table.eof(); table.next()) {
            reporter.still_working();
            std::int64_t index = table.integer(store::field::Index);
            std::string label = entry_label(kind, index);
            std::string original = table.text(store::field::OriginalString);
            if (original.empty()) {
                result.notes.push_back(label + ": left out, its original is empty");
                continue;
            }
            try {
                std::string spaces = spaces_at_end(table);
                std::string translation = table.text(store::field::TranslateString);
                PoEntry entry;
                entry.has_context = true;
                std::string where =
                    code ? lookup(unit_names, table.integer(store::field::UnitName)) + ":" +
                               std::to_string(table.integer(store::field::NewLine))
                         : lookup(form_names, table.integer(store::field::UnitName)) + " " +
                               table.text(store::field::Object) + " " +
                               table.text(store::field::Property);
                entry.context = code_page.to_utf8(label + " " + where);
                // A code row's texts are literal bodies; translators read the text itself.
                auto file_text = [code](const std::string& stored) {
                    return code ? LiteralText(stored) : stored;
                };
                entry.msgid = code_page.to_utf8(file_text(original + spaces));
                if (!translation.empty()) {
                    entry.msgstr = code_page.to_utf8(file_text(translation + spaces));
                    entry.fuzzy = !table.logical(store::field::Translated);
                    if (!newlines_agree(entry.msgid, entry.msgstr)) {
                        result.notes.push_back(label +
                                               ": written without its translation, whose line "
                                               "breaks at the start or end differ");
                        entry.msgstr.clear();
                        entry.fuzzy = false;
                    }
                }
                if (table.logical(store::field::Ignore))
                    entry.comments = std::string(kIgnoreComment) + "\n";
                // The scanner ends every context line with a CR alone.
                if (code)
                    for (const auto& line : read_text_lines(table.text(store::field::Context)))
                        entry.extracted += code_page.to_utf8(line) + "\n";
                if (!entry.msgstr.empty()) ++result.translated;
                catalog.entries.push_back(std::move(entry));
            } catch (const Error& e) {
                throw Error(label + ": " + e.what() + " Nothing was written.");
            }
        }
    }
    write_po_file(po_path, catalog);
    result.entries = static_cast<int>(catalog.entries.size());
    result.message = std::to_string(result.entries) + " entries (" +
                     std::to_string(result.translated) + " translated) written to " + po_path + ".";
    return result;
}

PoImportResult ImportPo(store::LanguageTables& tables, const std::string& po_path,
                        const CodePage& code_page, Reporter& reporter) {
    const std::string& language = tables.language;
    PoCatalog catalog = read_po_file(po_path);
    std::string file_language = po_header_field(catalog.header, "X-Lexorin-Language");
    if (!file_language.empty() && !equal_no_case(readable(file_language, code_page), language))
        throw Error("The PO file " + po_path + " holds the language " +
                    readable(file_language, code_page) + ", not " + language +
                    "; nothing was imported.");
    const bool natural_file = po_header_field(catalog.header, kCodeTextField) == kCodeTextNatural;

    PoImportResult result;
    // Everything is checked and converted before the first row changes.
    std::vector<PlannedUpdate> plan;
    std::set<ContextKey> seen;
    for (const auto& entry : catalog.entries) {
        if (entry.obsolete) continue;
        std::string label = readable(entry.context, code_page);
        std::optional<ContextKey> key;
        if (entry.has_context) key = parse_context(entry.context);
        if (!key) {
            result.not_applied.push_back(
                (entry.has_context ? "msgctxt \"" + label + "\"" : std::string("an entry")) +
                ": not an entry written by Lexorin (its msgctxt names no kind and Index)");
            continue;
        }
        if (entry.plural) {
            result.not_applied.push_back(label + ": has plural forms, which Lexorin has not");
            continue;
        }
        if (!seen.insert(*key).second) {
            result.not_applied.push_back(label + ": a second entry for the same row, left alone");
            continue;
        }
        PlannedUpdate update;
        update.key = *key;
        update.label = label;
        try {
            update.original = code_page.from_utf8(entry.msgid);
            update.translation = code_page.from_utf8(entry.msgstr);
        } catch (const Error& e) {
            throw Error("The PO file " + po_path + ", entry " + label + ": " + e.what() +
                        " Nothing was imported.");
        }
        // A code translation is written as a literal, with its line breaks as codes; a form
        // string keeps its text as typed.
        const bool code_row = key->kind == TableKind::Pascal;
        if (!code_row && update.translation.find_first_of("\r\n") != std::string::npos) {
            result.not_applied.push_back(
                label +
                ": the translation holds a line break, which a Pascal string cannot "
                "hold (write #13#10 in form strings)");
            continue;
        }
        const auto control = std::find_if(
            update.translation.begin(), update.translation.end(), [code_row](unsigned char c) {
                const bool line_break = c == '\r' || c == '\n';
                return (c < 32 && c != '\t' && !(code_row && line_break)) || c == 127;
            });
        if (control != update.translation.end()) {
            result.not_applied.push_back(label + ": the translation holds the control character #" +
                                         std::to_string(static_cast<unsigned char>(*control)) +
                                         ", which no translation may hold");
            continue;
        }
        update.fuzzy = entry.fuzzy;
        update.ignore = has_ignore_mark(entry.comments);
        plan.push_back(std::move(update));
    }

    // One transaction for each table: the import is stored whole or not at all, the disk is
    // synced once for each table, and the lookups below read without taking a lock each.
    store::HeldTables import({&tables.pascal.table(), &tables.forms.table()});
    for (const auto& update : plan) {
        reporter.still_working();
        const bool code_row = update.key.kind == TableKind::Pascal;
        store::Table& table = code_row ? tables.pascal.table() : tables.forms.table();
        if (!table.find_key({update.key.index})) {
            result.not_applied.push_back(update.label + ": the table has no such row");
            continue;
        }
        if (!same_original(table.text(store::field::OriginalString) + spaces_at_end(table),
                           update.original, code_row)) {
            result.not_applied.push_back(update.label +
                                         ": the original has changed since the export");
            continue;
        }
        // The store keeps no trailing blanks; the writers put the original's back.
        std::string translation = trim_right_blanks(update.translation);
        if (code_row && !translation.empty())
            translation = code_translation_from_file(translation, natural_file);
        bool set_translation = !translation.empty();
        if (set_translation && update.ignore) {
            ++result.ignored_translations;
            set_translation = false;
        }
        bool changed = table.logical(store::field::Ignore) != update.ignore;
        if (set_translation)
            changed = changed || table.text(store::field::TranslateString) != translation ||
                      table.logical(store::field::Translated) != !update.fuzzy;
        if (!changed) {
            ++result.unchanged;
            continue;
        }
        // The flags as the file has them: a fuzzy entry stays untranslated whatever its text, and
        // a form string keeps its Changed mark for the translator.
        TranslationWrite write;
        if (set_translation) {
            write.translation = translation;
            write.translated = !update.fuzzy;
            if (!update.fuzzy) write.needs_review = false;  // a translation the file confirms
        }
        write.ignore = update.ignore;
        WriteTranslation(table, write, Flags::AsGiven, !code_row);
        ++result.updated;
        if (set_translation && !update.fuzzy && !update.ignore)
            if (auto entry = MemoryEntryFor(table.text(store::field::OriginalString), translation,
                                            code_row, tables.project, language, code_page))
                result.memory_entries.push_back(std::move(*entry));
    }
    import.Commit();
    size_t left = result.not_applied.size();
    result.message = std::to_string(result.updated) + " rows updated, " +
                     std::to_string(result.unchanged) + " unchanged, " + std::to_string(left) +
                     (left == 1 ? " entry" : " entries") + " not applied.";
    if (result.ignored_translations > 0)
        result.message +=
            " " + std::to_string(result.ignored_translations) +
            (result.ignored_translations == 1 ? " translation of an ignored row left out."
                                              : " translations of ignored rows left out.");
    return result;
}

}  // namespace lexorin::project
