#include "base/text_qt.h"

#include <QRegularExpression>

#include <cstdlib>

#include "base/code_page.h"

namespace lexorin::gui {

namespace {

// The code page is read once per conversion: it is only the environment's, and cheap to build
// for the built-in Windows-1252.
CodePage current_code_page() {
    const char* name = std::getenv("LEXORIN_CODE_PAGE");
    return CodePage(name && *name ? name : kDefaultCodePage);
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
    // A character the code page refuses is named by its code point, since the 8-bit message
    // cannot hold it; the window can show the character itself beside it.
    static const QRegularExpression refused(QStringLiteral("The character U\\+([0-9A-F]{4,6})"));
    for (auto match = refused.match(out); match.hasMatch();
         match = refused.match(out, match.capturedStart() + 1)) {
        bool ok = false;
        const char32_t code = match.captured(1).toUInt(&ok, 16);
        if (!ok) break;
        const QString shown = QString::fromUcs4(&code, 1);
        out.replace(match.capturedStart(), match.capturedLength(),
                    QStringLiteral("The character \"") + shown + QStringLiteral("\" (U+") +
                        match.captured(1) + QStringLiteral(")"));
    }
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QChar('\r'), QChar('\n'));
    return out;
}

}  // namespace lexorin::gui
