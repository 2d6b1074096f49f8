#include "project/translation_checks.h"

#include <algorithm>

#include "base/errors.h"
#include "base/literal_text.h"
#include "project/format_placeholders.h"
#include "project/spelling.h"
#include "store/translation_fields.h"

namespace lexorin::project {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

int leading_blanks(std::string_view text) {
    int n = 0;
    while (n < static_cast<int>(text.size()) && is_blank(text[static_cast<size_t>(n)])) ++n;
    return n;
}

int trailing_blanks(std::string_view text) {
    int n = 0;
    while (n < static_cast<int>(text.size()) &&
           is_blank(text[text.size() - 1 - static_cast<size_t>(n)]))
        ++n;
    return n;
}

std::string counts_differ(int original, int translation) {
    return std::to_string(original) + " in the original, " + std::to_string(translation) +
           " in the translation";
}

std::string placeholder_list(const FormatSignature& sig) {
    if (sig.placeholders.empty()) return "none";
    std::string text;
    for (const auto& p : sig.placeholders) text += (text.empty() ? "" : " ") + p;
    return text;
}

std::vector<char> argument_kinds(const FormatSignature& sig) {
    std::vector<char> kinds;
    for (const auto& [argument, kind] : sig.arguments) kinds.push_back(kind);
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

// Only a valid original can be given to Format; an original without "%" may still be, so a
// translation that asks for arguments is reported too. An original with a malformed "%" is
// plain text.
void check_placeholders(std::string_view original, std::string_view translation,
                        std::vector<CheckFinding>& findings) {
    FormatSignature o = ParseFormat(original);
    FormatSignature t = ParseFormat(translation);
    if (!o.valid) return;
    if (!o.has_percent) {
        if (t.valid && !t.arguments.empty())
            findings.push_back(
                {CheckKind::Placeholders,
                 "the translation has " + placeholder_list(t) + ", the original none"});
        return;
    }
    if (!t.valid) {
        findings.push_back(
            {CheckKind::Placeholders, "the translation has the malformed \"" + t.bad_placeholder +
                                          "\" where the original has " + placeholder_list(o)});
        return;
    }
    bool same = (o.dynamic_index || t.dynamic_index) ? argument_kinds(o) == argument_kinds(t)
                                                     : o.arguments == t.arguments;
    if (!same)
        findings.push_back({CheckKind::Placeholders, "the original has " + placeholder_list(o) +
                                                         ", the translation " +
                                                         placeholder_list(t)});
}

}  // namespace

const char* check_kind_name(CheckKind kind) {
    switch (kind) {
        case CheckKind::Placeholders:
            return "placeholders";
        case CheckKind::Accelerators:
            return "accelerators";
        case CheckKind::LeadingBlanks:
            return "leading blanks";
        case CheckKind::TrailingBlanks:
            return "trailing blanks";
        case CheckKind::LineBreaks:
            return "line breaks";
        case CheckKind::Spelling:
            return "spelling";
    }
    return "";
}

std::string spaces_at_end(const store::Table& row) {
    std::int64_t count = std::clamp<std::int64_t>(row.integer(store::field::SpacesAtEnd), 0, 1024);
    return std::string(static_cast<size_t>(count), ' ');
}

const char* table_kind_label(store::TableKind table) {
    return table == store::TableKind::Forms ? "forms" : "code";
}

int count_accelerators(std::string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
            continue;
        }
        ++n;
    }
    return n;
}

int count_line_breaks(std::string_view text) {
    int n = 0;
    auto code_at = [&](size_t i, std::string_view code) {
        // "#13" but not "#130": the code ends where its digits end.
        return text.substr(i, code.size()) == code &&
               (i + code.size() >= text.size() || text[i + code.size()] < '0' ||
                text[i + code.size()] > '9');
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\r') {
            ++n;
            i += (i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else if (text[i] == '\n') {
            ++n;
            ++i;
        } else if (code_at(i, "#13")) {
            ++n;
            i += 3;
            if (code_at(i, "#10")) i += 3;
        } else if (code_at(i, "#10")) {
            ++n;
            i += 3;
        } else {
            ++i;
        }
    }
    return n;
}

std::vector<CheckFinding> CheckTranslation(std::string_view original,
                                           std::string_view translation) {
    std::vector<CheckFinding> findings;
    check_placeholders(original, translation, findings);
    auto compare = [&](CheckKind kind, int o, int t) {
        if (o != t) findings.push_back({kind, counts_differ(o, t)});
    };
    compare(CheckKind::Accelerators, count_accelerators(original), count_accelerators(translation));
    compare(CheckKind::LeadingBlanks, leading_blanks(original), leading_blanks(translation));
    compare(CheckKind::TrailingBlanks, trailing_blanks(original), trailing_blanks(translation));
    compare(CheckKind::LineBreaks, count_line_breaks(original), count_line_breaks(translation));
    return findings;
}

std::vector<CheckFinding> CheckCodeTranslation(std::string_view original,
                                               std::string_view translation) {
    return CheckTranslation(LiteralText(original), LiteralText(translation));
}

std::vector<CheckFinding> CheckSpelling(std::string_view translation, bool code_row,
                                        const SpellChecker& checker, const CodePage& code_page) {
    std::vector<CheckFinding> findings;
    std::string utf8;
    try {
        utf8 = code_page.to_utf8(code_row ? LiteralText(translation) : std::string(translation));
    } catch (const Error&) {
        return findings;  // a text the code page cannot read has no words to look up
    }
    for (const Misspelling& wrong : checker.Check(utf8, 3)) {
        std::string detail = wrong.word;
        for (std::size_t i = 0; i < wrong.suggestions.size(); ++i)
            detail += (i == 0 ? " (" : ", ") + wrong.suggestions[i];
        if (!wrong.suggestions.empty()) detail += ")";
        // The report is in the project's code page like every other text of the tables; a
        // suggestion it cannot hold keeps its UTF-8 rather than failing the check.
        try {
            detail = code_page.from_utf8(detail);
        } catch (const Error&) {
        }
        findings.push_back({CheckKind::Spelling, std::move(detail)});
    }
    return findings;
}

std::vector<TranslationProblem> CheckLanguage(store::PascalRows& pascal, store::FormRows& forms,
                                              Reporter& reporter, const SpellingCheck* spelling) {
    std::vector<TranslationProblem> problems;
    for (store::TableKind kind : {store::TableKind::Pascal, store::TableKind::Forms}) {
        store::Table& table = kind == store::TableKind::Pascal ? pascal.table() : forms.table();
        for (table.first(); !table.eof(); table.next()) {
            reporter.still_working();
            std::string translation = table.text(store::field::TranslateString);
            if (translation.empty() || table.logical(store::field::Ignore)) continue;
            // Writers put the original's trailing blanks back on both texts.
            std::string spaces = spaces_at_end(table);
            std::string original = table.text(store::field::OriginalString) + spaces;
            auto findings = kind == store::TableKind::Pascal
                                ? CheckCodeTranslation(original, translation + spaces)
                                : CheckTranslation(original, translation + spaces);
            if (spelling)
                for (auto& finding : CheckSpelling(translation, kind == store::TableKind::Pascal,
                                                   spelling->checker, spelling->code_page))
                    findings.push_back(std::move(finding));
            for (auto& finding : findings)
                problems.push_back({kind, table.integer(store::field::Index), std::move(finding)});
        }
    }
    return problems;
}

}  // namespace lexorin::project
