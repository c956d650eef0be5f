#include "app/data_text.h"

#include <QStringDecoder>

namespace barquill::app {

DataText dataAsText(const QByteArray& data) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(data);
    const bool validUtf8 = !decoder.hasError();

    bool printable = validUtf8;
    for (char c : data)
        if ((unsigned char)c < 0x20 || c == 0x7F) printable = false;
    // A backslash alone needs no escape while escapes are off.
    if (printable) return {decoded, false};

    DataText result;
    result.escapes = true;
    // Valid UTF-8 keeps its characters readable; otherwise every high byte
    // becomes \xHH.
    QByteArray escaped;
    for (char c : data) {
        const unsigned char b = (unsigned char)c;
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                if (b < 0x20 || b == 0x7F || (b >= 0x80 && !validUtf8))
                    escaped += QByteArray("\\x") +
                               QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
                else
                    escaped += c;
        }
    }
    result.text = QString::fromUtf8(escaped);
    return result;
}

}  // namespace barquill::app
