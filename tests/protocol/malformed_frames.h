#pragma once

#include "frame.h"
#include "messages.h"

#include <QByteArray>
#include <QList>
#include <utility>

// Frames a peer may send that carry no text, each as the raw bytes of one
// whole frame (length field included). Shared by the reader and server tests.
inline QList<std::pair<const char*, QByteArray>> malformedFrames()
{
    QList<std::pair<const char*, QByteArray>> frames;
    frames.append({"count below length-4", QByteArray::fromHex("000e00000008" "0042004c00410043004b")});
    frames.append({"count above length-4", QByteArray::fromHex("000e0000000c" "0042004c00410043004b")});
    frames.append({"huge count", QByteArray::fromHex("00087ffffffe" "00410042")});
    frames.append({"null marker", QByteArray::fromHex("0004ffffffff")});
    frames.append({"null marker and bytes", QByteArray::fromHex("0008ffffffff" "00410042")});
    frames.append({"odd count", QByteArray::fromHex("000700000003" "004100")});
    frames.append({"empty frame", QByteArray::fromHex("0000")});
    frames.append({"length 1", QByteArray::fromHex("0001" "00")});
    frames.append({"length 3", QByteArray::fromHex("0003" "000000")});

    // A move that would be relayed if the inner count were believed.
    QByteArray shortCount = Frame::encode(Message::moveText(1, 2, 1));
    shortCount[5] = char(18);
    frames.append({"move with short count", shortCount});

    // The same move with one stray byte: odd count that matches its length.
    QByteArray oddMove = Frame::encode(Message::moveText(1, 2, 1));
    oddMove[1] = char(25);
    oddMove[5] = char(21);
    oddMove.append('\0');
    frames.append({"move with odd count", oddMove});
    return frames;
}
