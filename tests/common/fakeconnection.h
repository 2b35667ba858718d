// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A connection without a socket, for tests and fuzz targets: delivered bytes
// wait in the inbox to be read, written bytes stay in the outbox.

#include "protocol/frame.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

class FakeConnection : public QIODevice
{
public:
    FakeConnection() { open(QIODevice::ReadWrite | QIODevice::Unbuffered); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return inbox.size() + QIODevice::bytesAvailable(); }

    QByteArray inbox;
    QByteArray outbox;

    // What was written, as the peer reads it.
    QStringList sentTexts() const
    {
        FakeConnection wire;
        wire.inbox = outbox;
        return Frame::Reader().readAll(&wire);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 n = std::min<qint64>(maxSize, inbox.size());
        std::memcpy(data, inbox.constData(), size_t(n));
        inbox.remove(0, n);
        return n;
    }
    qint64 writeData(const char* data, qint64 size) override
    {
        outbox.append(data, size);
        return size;
    }
};
