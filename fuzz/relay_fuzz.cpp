// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes through the frame reader and the server's
// coordination, as any number of peers could send them, and checks that what
// the server writes back is always well formed.
//
// Input: the first byte's low bit picks the rules (set: one game, clear: many
// games, two of them at most), then a sequence of operations. One byte op:
// kind = op & 7, slot = (op >> 3) % 6.
//   0 connect the slot (if free and the server has room, as it does)
//   1 disconnect the slot
//   2 raw bytes to the slot: 1 length byte, then the bytes
//   3 raw bytes to the slot: 2 length bytes (big-endian), then the bytes
//   4 one valid frame of raw bytes as Latin-1 text: 1 length byte, then the text
//   5 the same, the text split in two deliveries at its middle
//   6 one game: sendGameStart with the text that follows (1 length byte) as
//     prefix; many: the bytes are skipped and the slot sends the last ticket
//     the next slot received
//   7 the bytes that follow (1 length byte) through a lone reader, round-tripped

#include "protocol/frame.h"
#include "protocol/messages.h"
#include "server/relay.h"
#include "support.h"

#include <QBuffer>
#include <QCoreApplication>

#include <array>
#include <cstdint>

namespace {

// Everything the server wrote must read back as whole, valid frames.
void checkWritten(const QByteArray& written)
{
    QBuffer buffer;
    buffer.setData(written);
    buffer.open(QIODevice::ReadOnly);
    Frame::Reader reader;
    QByteArray again;
    for (const QString& text : reader.readAll(&buffer))
        again += Frame::encode(text);
    check(reader.blockSize == 0);
    check(buffer.bytesAvailable() == 0);
    check(again == written);
}

void checkReader(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Frame::Reader reader;
    for (const QString& text : reader.readAll(&buffer)) {
        const QByteArray frame = Frame::encode(text);
        check(!frame.isEmpty());
        QBuffer back;
        back.setData(frame);
        back.open(QIODevice::ReadOnly);
        Frame::Reader second;
        check(second.readAll(&back) == QStringList{text});
        const std::optional<Message::Move> move = Message::parseMove(text);
        check(move.has_value() == (text.count(u'|') >= 3));
    }
    // Whatever is left is less than one frame: the length read, or less than two bytes.
    check(reader.blockSize != 0 ? buffer.bytesAvailable() < reader.blockSize
                                : buffer.bytesAvailable() < 2);
}

struct Input
{
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    bool more() const { return at < size; }
    uint8_t byte() { return more() ? data[at++] : 0; }
    QByteArray bytes(size_t n)
    {
        n = std::min(n, size - at);
        QByteArray b(reinterpret_cast<const char*>(data + at), qsizetype(n));
        at += n;
        return b;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int Slots = 6;
    if (size == 0)
        return 0;
    const bool oneGame = data[0] & 1;
    Relay relay(Relay::Limits{oneGame ? 1 : 2, 60000});
    std::array<FakeConnection, Slots> connections;
    std::array<bool, Slots> live{};
    std::array<quint16, Slots> ports{};
    quint16 nextPort = 40000;
    int liveCount = 0;

    Input in{data, size, 1};
    while (in.more()) {
        const uint8_t op = in.byte();
        const int slot = (op >> 3) % Slots;
        FakeConnection& c = connections[size_t(slot)];
        switch (op & 7) {
        case 0:
            if (!live[size_t(slot)] && relay.hasRoom()) {
                c.inbox.clear();
                ports[size_t(slot)] = nextPort++;
                // Two peers on the same address tell apart only by port.
                const QHostAddress address(slot % 3 == 2 ? QHostAddress::LocalHostIPv6
                                                         : QHostAddress::LocalHost);
                relay.addConnection(&c, address, ports[size_t(slot)]);
                live[size_t(slot)] = true;
                ++liveCount;
            }
            break;
        case 1:
            if (live[size_t(slot)]) {
                relay.connectionLost(&c);
                live[size_t(slot)] = false;
                --liveCount;
            }
            break;
        case 2:
        case 3: {
            size_t n = in.byte();
            if ((op & 7) == 3)
                n = (n << 8) | in.byte();
            c.inbox += in.bytes(n);
            if (live[size_t(slot)])
                relay.receive(&c);
            break;
        }
        case 4:
        case 5: {
            const QByteArray frame = Frame::encode(QString::fromLatin1(in.bytes(in.byte())));
            if ((op & 7) == 4) {
                c.inbox += frame;
                if (live[size_t(slot)])
                    relay.receive(&c);
            } else {
                c.inbox += frame.left(frame.size() / 2);
                if (live[size_t(slot)])
                    relay.receive(&c);
                c.inbox += frame.mid(frame.size() / 2);
                if (live[size_t(slot)])
                    relay.receive(&c);
            }
            break;
        }
        case 6: {
            // One game: the start frames with any prefix. Many: the slot shows
            // the last ticket the next slot was given, as a board would.
            const QByteArray prefix = in.bytes(in.byte());
            if (oneGame) {
                relay.sendGameStart(QString::fromLatin1(prefix));
                break;
            }
            FakeConnection given;
            given.inbox = connections[size_t(slot + 1) % Slots].outbox;
            const QStringList tickets = Frame::Reader().readAll(&given).filter(Message::Ticket);
            if (!tickets.isEmpty() && live[size_t(slot)]) {
                c.inbox += Frame::encode(tickets.last());
                relay.receive(&c);
            }
            break;
        }
        case 7:
            checkReader(in.bytes(in.byte()));
            break;
        }
        check(relay.connectionCount() == liveCount);
        check(relay.clients().size() == liveCount);
    }

    for (FakeConnection& c : connections)
        checkWritten(c.outbox);
    return 0;
}
