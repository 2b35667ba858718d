#pragma once

// What both fuzz targets share.

#include <QIODevice>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Names the failed check: the stack trace alone is vague about inlined code.
inline void check(bool condition, const char* file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (condition)
        return;
    std::fprintf(stderr, "%s:%d: check failed\n", file, line);
    std::abort();
}

// The traces stay in the product; formatting them still runs here.
inline void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

// A connection without a socket: delivered bytes wait to be read, written
// bytes are kept for checking.
class FakeConnection : public QIODevice
{
public:
    FakeConnection() { open(QIODevice::ReadWrite | QIODevice::Unbuffered); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return inbox.size() + QIODevice::bytesAvailable(); }

    QByteArray inbox;
    QByteArray outbox;

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
