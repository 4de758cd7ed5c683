#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The text's UTF-16 code units as bytes in the given order, with no byte-order mark.
inline QByteArray utf16Bytes(const QString& text, bool bigEndian) {
    QByteArray bytes;
    for (const QChar unit : text) {
        const auto high = static_cast<char>(unit.unicode() >> 8U);
        const auto low = static_cast<char>(unit.unicode() & 0xFFU);
        bytes += bigEndian ? QByteArray{&high, 1} + low : QByteArray{&low, 1} + high;
    }
    return bytes;
}
