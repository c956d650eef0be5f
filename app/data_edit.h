// SPDX-License-Identifier: MIT
#pragma once
// The data field: a plain-text editor that grows to a few lines and then
// scrolls. Enter makes a new line and Ctrl+Enter asks for the symbol; tabs
// and control characters are shown as marks, never as blanks that hide what
// the data holds. Data loaded from a file is kept as its bytes: the field
// shows them escaped, read-only, until typing replaces them.

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>

namespace barquill::app {

class DataEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DataEdit(QWidget* parent = nullptr);

    // The typed text, every character as it is (line breaks as "\n").
    QString text() const;
    // Typed text; ends the loaded state.
    void setText(const QString& text);

    // Bytes loaded from the file `name`, shown escaped.
    void setLoaded(const QByteArray& bytes, const QString& name);
    bool isLoaded() const { return loaded_; }
    const QByteArray& loadedBytes() const { return bytes_; }
    const QString& loadedName() const { return name_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The field grows to this many lines, then scrolls.
    static constexpr int MAX_SHOWN_LINES = 5;

signals:
    void encodeRequested();  // Ctrl+Enter
    void loadedStateChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void leaveLoaded();
    int heightFor(int lines) const;
    int shownLines() const;

    bool loaded_ = false;
    QByteArray bytes_;
    QString name_;
    int lines_ = 1;
};

}  // namespace barquill::app
