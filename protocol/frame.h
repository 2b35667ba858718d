// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// One message on the wire: a 16-bit big-endian length, then the text as a
// QDataStream QString (32-bit byte count + UTF-16BE).
namespace Frame {

// Largest value of the length field: the bytes after it, inner count included.
inline constexpr int MaxLength = 65535;

// How far a connection reads ahead of its reader. A flood is then taken in
// bites of this size, with the event loop running between them, and never
// piles up in memory. It holds a whole frame once its length is read, or the
// longest frames would never complete.
inline constexpr qint64 ReadAhead = 64 * 1024;
static_assert(ReadAhead >= MaxLength);

// The whole frame for one text, ready for a single write call. Empty when the
// text is too long for the 16-bit length (more than 32765 UTF-16 units).
QByteArray encode(const QString& text);

// Receiving side of one connection. Keep one reader per connection: the
// pending length belongs to the stream it was read from.
class Reader
{
public:
    // Reads every complete frame buffered in the device and returns their
    // texts in order. A partial frame stays buffered until the next call.
    // Malformed frames (bad inner count, null marker, odd count, empty) are
    // skipped whole, so the reader stays in step with the next frame.
    QStringList readAll(QIODevice* device);

    // Pending size of the frame being received, 0 when no length was read.
    quint16 blockSize = 0;
    // Malformed frames skipped so far: no honest peer sends one.
    qint64 skipped = 0;
};

} // namespace Frame
