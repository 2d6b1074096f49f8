#include "base/text_qt.h"

#include <QRegularExpression>

#include <cstdlib>
#include <utility>

namespace lexorin::gui {

namespace {

CodePage& current_code_page() {
    static CodePage page;
    return page;
}

}  // namespace

void set_window_code_page(CodePage page) {
    current_code_page() = std::move(page);
}

const CodePage& window_code_page() {
    return current_code_page();
}

std::string code_page_name() {
    return current_code_page().name();
}

QString to_q(const std::string& text) {
    // A UTF-8 project's table may hold bytes of an earlier code page: they show as U+FFFD
    // rather than keep the window from showing the row at all.
    if (current_code_page().is_utf8())
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
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
