// SPDX-License-Identifier: MIT
#include "app/data_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>
#include <algorithm>

#include "barquill/text.hpp"

namespace barquill::app {

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// Tabs as an arrow, other control characters as their Unicode pictures
// (U+2400 to U+2421: ␀, ␞, ␡ ...).
QString markOf(QChar c) {
    if (c == QLatin1Char('\t')) return QStringLiteral("→");
    return QString(QChar(c.unicode() == 0x7F ? 0x2421 : 0x2400 + c.unicode()));
}

bool replacesLoadedData(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) return true;
    const QString typed = event->text();
    return !typed.isEmpty() && typed.front().isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

}  // namespace

DataEdit::DataEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Wrapping changes the lines with the width as typing does.
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] {
                if (shownLines() == lines_) return;
                lines_ = shownLines();
                updateGeometry();
            });
}

QString DataEdit::text() const {
    // The raw text keeps non-breaking spaces, which toPlainText turns into spaces.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

void DataEdit::setText(const QString& text) {
    const bool wasLoaded = loaded_;
    loaded_ = false;
    bytes_.clear();
    name_.clear();
    setReadOnly(false);
    setPlainText(text);
    if (wasLoaded) emit loadedStateChanged();
}

void DataEdit::setLoaded(const QByteArray& bytes, const QString& name) {
    loaded_ = true;
    bytes_ = bytes;
    name_ = name;
    setReadOnly(true);
    const EscapedText shown =
        encodeEscapes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    setPlainText(QString::fromUtf8(shown.text.data(), qsizetype(shown.text.size())));
    emit loadedStateChanged();
}

void DataEdit::leaveLoaded() {
    setText(QString());
}

int DataEdit::shownLines() const {
    // The plain-text layout measures its document in lines, wrapped ones included.
    const int lines = int(document()->size().height());
    return std::clamp(lines, 1, MAX_SHOWN_LINES);
}

int DataEdit::heightFor(int lines) const {
    const QMargins margins = contentsMargins();
    return lines * fontMetrics().lineSpacing() + 2 * int(document()->documentMargin()) +
           2 * frameWidth() + margins.top() + margins.bottom() + 1;
}

QSize DataEdit::sizeHint() const {
    return {QPlainTextEdit::sizeHint().width(), heightFor(shownLines())};
}

QSize DataEdit::minimumSizeHint() const {
    return {QPlainTextEdit::minimumSizeHint().width(), heightFor(1)};
}

void DataEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)) {
        emit encodeRequested();
        return event->accept();
    }
    if (loaded_ && replacesLoadedData(event)) {
        leaveLoaded();
        if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
            return event->accept();
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DataEdit::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    painter.setFont(small);
    const QColor mark = palette().color(QPalette::Highlight);
    QColor back = mark;
    back.setAlpha(48);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF area = blockBoundingGeometry(block).translated(contentOffset());
        if (area.top() > viewport()->height()) break;
        const QString line = block.text();
        for (int i = 0; i < line.size(); ++i) {
            if (!isControl(line[i])) continue;
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + i);
            const QRect from = cursorRect(cursor);
            cursor.movePosition(QTextCursor::NextCharacter);
            const QRect to = cursorRect(cursor);
            const QString picture = markOf(line[i]);
            const int width = to.top() == from.top() && to.left() > from.left()
                                  ? to.left() - from.left()
                                  : painter.fontMetrics().horizontalAdvance(picture);
            const QRect box(from.left(), from.top(), std::max(width, 4), from.height());
            painter.fillRect(box, back);
            painter.setPen(mark);
            painter.drawText(box, Qt::AlignCenter, picture);
        }
    }
}

}  // namespace barquill::app
