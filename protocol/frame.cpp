// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/frame.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <optional>

namespace {

// Pinned so the bytes never follow a change of Qt's default; quint16 and
// QString serialise the same way in every version from Qt 4 on.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_5_0;

constexpr int LengthSize = 2;   // quint16 frame length
constexpr int CountSize = 4;    // quint32 byte count of the QString
constexpr quint32 NullString = 0xFFFFFFFFu;

// The body of one frame (everything after its length), or nothing when it
// is not exactly one non-null QString filling the whole frame.
std::optional<QString> decodeBody(const QByteArray& body)
{
    if (body.size() < CountSize)
        return std::nullopt;
    const quint32 count = qFromBigEndian<quint32>(body.constData());
    if (count == NullString || count % 2 != 0 || count != quint32(body.size() - CountSize))
        return std::nullopt;

    // The count now matches the bytes at hand, so the stream allocates no
    // more than the frame itself holds.
    QDataStream in(body);
    in.setVersion(StreamVersion);
    QString text;
    in >> text;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return text;
}

} // namespace

namespace Frame {

QByteArray encode(const QString& text)
{
    // The bytes QDataStream writes for a quint16 and a QString, written
    // directly: the server encodes one frame per relayed move. A null QString
    // would go out as the null marker, which is never sent: it travels as
    // the empty text instead (a count of 0 either way).
    const qsizetype units = text.size();
    const qsizetype length = CountSize + 2 * units;
    // A length that does not fit the 16-bit field would desynchronise the
    // peer; nothing is better than a corrupt stream.
    if (length > MaxLength)
        return {};
    QByteArray block(LengthSize + length, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(block.data());
    qToBigEndian<quint16>(quint16(length), out);
    qToBigEndian<quint32>(quint32(2 * units), out + LengthSize);
    const ushort* in = text.utf16();
    for (qsizetype i = 0; i < units; ++i)
        qToBigEndian<quint16>(in[i], out + LengthSize + CountSize + 2 * i);
    return block;
}

QStringList Reader::readAll(QIODevice* device)
{
    QStringList texts;
    if (!device)
        return texts;

    for (;;) {
        if (blockSize == 0) {
            if (device->bytesAvailable() < LengthSize)
                break;
            char raw[LengthSize];
            if (device->read(raw, LengthSize) != LengthSize)
                break;
            blockSize = qFromBigEndian<quint16>(raw);
            // A zero length is an empty frame with nothing after it:
            // dropped, and the next two bytes are the next length.
            if (blockSize == 0) {
                ++skipped;
                continue;
            }
        }
        if (device->bytesAvailable() < blockSize)
            break;

        // Never more than the 16-bit length, whatever the inner count says.
        const QByteArray body = device->read(blockSize);
        blockSize = 0;

        if (std::optional<QString> text = decodeBody(body))
            texts.append(*text);
        else
            ++skipped;
    }
    return texts;
}

} // namespace Frame
