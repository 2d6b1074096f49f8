#include "app/text_qt.h"

#include <cstdlib>

#include "project/code_page.h"

namespace lexorin::gui {

namespace {

// The code page is read once per conversion: it is only the environment's, and cheap to build
// for the built-in Windows-1252.
project::CodePage current_code_page() {
    const char* name = std::getenv("LEXORIN_CODE_PAGE");
    return project::CodePage(name && *name ? name : project::kDefaultCodePage);
}

}  // namespace

std::string code_page_name() {
    return current_code_page().name();
}

QString to_q(const std::string& text) {
    return QString::fromStdString(current_code_page().to_utf8(text));
}

std::string from_q(const QString& text) {
    return current_code_page().from_utf8(text.toStdString());
}

QString message_text(const std::string& text) {
    QString out = to_q(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

}  // namespace lexorin::gui
