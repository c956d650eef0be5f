#pragma once
// Data loaded from a file shown in the one-line text field: bytes that are
// not printable text are written as the command line's escapes, so the field
// gives back exactly the bytes of the file.

#include <QByteArray>
#include <QString>

namespace barquill::app {

struct DataText {
    QString text;
    bool escapes = false;  // the text holds escapes and must be decoded
};

DataText dataAsText(const QByteArray& data);

}  // namespace barquill::app
