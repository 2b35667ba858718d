// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures the client reads from its working directory,
// "checker.png" (640 x 640 board), "pion_noir.png" and "pion_blanc.png"
// (80 x 80 discs, transparent around the disc), each of them also at twice
// its size ("checker@2x.png"...) from the same shapes for screens at 200%,
// and the programs' icon "ardesia.png" (256 x 256).
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <cstdio>

namespace {

constexpr int Cell = 80;
constexpr int Side = 8 * Cell;

// A picture of `side` logical pixels drawn `scale` times as large; the
// painter keeps the logical coordinates.
QImage canvas(int side, int scale, QImage::Format format)
{
    QImage image(side * scale, side * scale, format);
    image.fill(Qt::transparent);
    return image;
}

QImage drawBoard(int scale)
{
    QImage image = canvas(Side, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(scale, scale);
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 8; ++y) {
            // Two close greens so the squares read without distracting.
            const QColor felt = (x + y) % 2 ? QColor(0x1f, 0x7a, 0x43) : QColor(0x23, 0x86, 0x4a);
            p.fillRect(x * Cell, y * Cell, Cell, Cell, felt);
        }
    }
    p.setPen(QPen(QColor(0x0d, 0x3d, 0x20), 2));
    for (int i = 0; i <= 8; ++i) {
        const int at = qBound(1, i * Cell, Side - 1);
        p.drawLine(at, 0, at, Side);
        p.drawLine(0, at, Side, at);
    }
    // The four dots of a real board help the eye find the centre.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0d, 0x3d, 0x20));
    for (int cx : {2 * Cell, 6 * Cell})
        for (int cy : {2 * Cell, 6 * Cell})
            p.drawEllipse(QPointF(cx, cy), 5, 5);
    return image;
}

QImage drawDisc(int scale, QColor light, QColor dark, QColor rim)
{
    QImage image = canvas(Cell, scale, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow below the disc.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QRectF(10, 12, 64, 64));
    // Lit from the top left.
    QRadialGradient shade(QPointF(30, 28), 44, QPointF(26, 24));
    shade.setColorAt(0.0, light);
    shade.setColorAt(1.0, dark);
    p.setBrush(shade);
    p.setPen(QPen(rim, 1.5));
    p.drawEllipse(QRectF(7, 7, 64, 64));
    return image;
}

// The start position's four centre discs on a corner of felt.
QImage drawIcon(const QImage& black, const QImage& white)
{
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0d, 0x3d, 0x20), 6));
    p.setBrush(QColor(0x23, 0x86, 0x4a));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 28, 28);
    p.drawLine(128, 14, 128, 242);
    p.drawLine(14, 128, 242, 128);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(18, 18, 104, 104), white);
    p.drawImage(QRectF(134, 18, 104, 104), black);
    p.drawImage(QRectF(18, 134, 104, 104), black);
    p.drawImage(QRectF(134, 134, 104, 104), white);
    return image;
}

bool save(const QImage& image, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!QDir().mkpath(dir.path()))
        return 1;
    const auto black = [](int scale) {
        return drawDisc(scale, QColor(0x70, 0x70, 0x70), QColor(0x08, 0x08, 0x08), QColor(0, 0, 0));
    };
    const auto white = [](int scale) {
        return drawDisc(scale, QColor(0xff, 0xff, 0xff), QColor(0xb8, 0xb8, 0xb0), QColor(0x80, 0x80, 0x78));
    };
    const bool ok = save(drawBoard(1), dir, "checker.png") && save(black(1), dir, "pion_noir.png")
        && save(white(1), dir, "pion_blanc.png") && save(drawBoard(2), dir, "checker@2x.png")
        && save(black(2), dir, "pion_noir@2x.png") && save(white(2), dir, "pion_blanc@2x.png")
        && save(drawIcon(black(1), white(1)), dir, "ardesia.png");
    return ok ? 0 : 1;
}
