#pragma once

#include <QtGlobal>

class QByteArray;

// Intel HEX as EEPROM and flash programmers read it: data records of up to
// 16 bytes, an extended linear address record wherever the upper 16 bits of
// the address change, and the end-of-file record; LF line ends.
namespace IntelHex {

constexpr int RecordBytes = 16;

// Whether `size` bytes placed from `address` on stay within 32-bit addresses.
bool fits(qint64 size, quint64 address);

// `data` placed from `address` on; only meaningful when fits() holds.
QByteArray encode(const QByteArray &data, quint32 address = 0);

} // namespace IntelHex
