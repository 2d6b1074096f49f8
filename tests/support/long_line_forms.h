#pragma once

#include <cstddef>
#include <string>

// Text forms as Lazarus keeps them: LF line ends, and a long string on one line of its own, far
// longer than any reading buffer (a report template in a string property).
namespace lexorin::testing {

struct LongLineForm {
    std::string text;            // the whole form text
    std::string line;            // its long line, without the line break
    std::string template_value;  // the string that line holds
};

// "object ReportForm: TReportForm" with Caption 'Monthly report', Tag 7, the line
// "  Template = ..." of exactly `line_bytes` bytes (at least 20) and Notes 'Printed on demand'.
// The template is quoted runs of report bands with "''" for a quote and #13#10 codes between
// them; `plain` makes it one quoted run of letters and blanks only, a string the translated form
// writer can replace.
inline LongLineForm ReportFormWithLine(std::size_t line_bytes, bool plain = false) {
    LongLineForm form;
    std::string& line = form.line;
    std::string& value = form.template_value;
    line = "  Template = ";
    if (plain) {
        line += '\'';
        for (int band = 0;; ++band) {
            const std::string words = "Band " + std::to_string(band) + " of the report template ";
            if (line.size() + words.size() + 1 > line_bytes) break;
            line += words;
            value += words;
        }
        const std::size_t fill = line_bytes - 1 - line.size();
        line += std::string(fill, 'x') + '\'';
        value += std::string(fill, 'x');
    } else {
        for (int band = 0;; ++band) {
            const std::string number = std::to_string(band);
            const std::string run = "<Band Name=\"Band" + number + "\" Caption=\"It''s " + number +
                                    "\" Top=\"" + std::to_string(band * 24) + "\"/>";
            if (line.size() + run.size() + 2 + 6 + 2 > line_bytes) break;
            line += '\'' + run + "'#13#10";
            value += "<Band Name=\"Band" + number + "\" Caption=\"It's " + number + "\" Top=\"" +
                     std::to_string(band * 24) + "\"/>\r\n";
        }
        const std::size_t fill = line_bytes - 2 - line.size();
        line += '\'' + std::string(fill, '=') + '\'';
        value += std::string(fill, '=');
    }
    form.text =
        "object ReportForm: TReportForm\n"
        "  Caption = 'Monthly report'\n"
        "  Tag = 7\n" +
        line +
        "\n"
        "  Notes = 'Printed on demand'\n"
        "end\n";
    return form;
}

}  // namespace lexorin::testing
