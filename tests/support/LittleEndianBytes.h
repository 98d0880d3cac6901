#pragma once

#include <QByteArray>
#include <QtEndian>

// Little-endian pieces of hand-written files.
template <typename T> QByteArray LittleEndian(T value)
{
    QByteArray bytes(sizeof value, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}
inline QByteArray Le16(quint16 value)
{
    return LittleEndian(value);
}
inline QByteArray Le32(quint32 value)
{
    return LittleEndian(value);
}
