#include "res/ToolBarPictures.h"

#include "res/resource.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <complex>

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;
constexpr int kMaxScale = 3;

QColor EscapeColour(int n, int limit)
{
    if (n >= limit)
        return Qt::black;
    static const QColor ramp[] = {QColor(0, 0, 128),    QColor(0, 64, 224),    QColor(0, 160, 255),
                                  QColor(96, 224, 255), QColor(255, 255, 160), QColor(255, 176, 0)};
    return ramp[n % 6];
}

// The computed pictures sample every device pixel: more detail, never a blend of colours.
void PaintEscape(QImage &img, bool bJulia, int nScale)
{
    const std::complex<double> c0(-0.76, 0.12);
    const int w = kWidth * nScale;
    const int h = kHeight * nScale;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::complex<double> z;
            std::complex<double> c;
            if (bJulia) {
                z = {-1.6 + 3.2 * (x + 0.5) / w, -1.2 + 2.4 * (y + 0.5) / h};
                c = c0;
            } else {
                c = {-2.1 + 2.8 * (x + 0.5) / w, -1.25 + 2.5 * (y + 0.5) / h};
            }
            int n = 0;
            const int limit = 40;
            while (n < limit && std::norm(z) < 4.0) {
                z = z * z + c;
                ++n;
            }
            img.setPixelColor(x, y, EscapeColour(n, limit));
        }
    }
}

// Each point is a dot of one logical pixel, placed to the device pixel.
void PlotOrbit(QImage &img, bool bMira, int nScale)
{
    img.fill(Qt::white);
    double x = 0.0;
    double y = 0.0;
    double scale = 0.0;
    double cx = kWidth / 2.0;
    double cy = kHeight / 2.0;
    const double a = -0.48;
    const double b = 0.93;
    auto f = [a](double v) { return a * v + 2.0 * (1.0 - a) * v * v / (1.0 + v * v); };
    if (bMira) {
        x = 4.0;
        y = 0.0;
        scale = 0.55;
    } else {
        scale = 0.14;
    }
    double fx = bMira ? f(x) : 0.0;
    for (int i = 0; i < 4000; ++i) {
        if (bMira) {
            const double xn = b * y + fx;
            fx = f(xn);
            y = fx - x;
            x = xn;
        } else {
            const double sign = x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
            // a = 10, b = 100, c = -10, the Martin command's own constants
            const double xn = y - sign * std::sqrt(std::fabs(100.0 * x + 10.0));
            y = 10.0 - x;
            x = xn;
        }
        const double yc = bMira ? y : y - 8.0;
        const int px = int(nScale * (cx + x * scale));
        const int py = int(nScale * (cy + yc * scale));
        const QColor ink = bMira ? QColor(160, 0, 160) : QColor(0, 96, 0);
        for (int dy = 0; dy < nScale; ++dy)
            for (int dx = 0; dx < nScale; ++dx)
                if (img.valid(px + dx, py + dy))
                    img.setPixelColor(px + dx, py + dy, ink);
    }
}

void PaintWallpaper(QImage &img, int nScale)
{
    for (int y = 0; y < kHeight * nScale; ++y) {
        for (int x = 0; x < kWidth * nScale; ++x) {
            // The ring number at the device pixel's corner, in logical pixels: (x² + y²) / 9.
            const int v = (x * x + y * y) / (9 * nScale * nScale);
            static const QColor colours[] = {QColor(255, 64, 64), QColor(255, 224, 64),
                                             QColor(64, 192, 64), QColor(64, 128, 255)};
            img.setPixelColor(x, y, colours[v % 4]);
        }
    }
}

void PaintDla(QPainter &p)
{
    p.setPen(QColor(96, 48, 0));
    const QPoint c(8, 8);
    const QPoint arms[] = {{8, 1}, {14, 5}, {13, 13}, {3, 13}, {1, 5}};
    for (const QPoint &end : arms)
        p.drawLine(c, end);
    p.drawLine(QPoint(8, 4), QPoint(11, 2));
    p.drawLine(QPoint(11, 6), QPoint(13, 8));
    p.drawLine(QPoint(11, 11), QPoint(9, 13));
    p.drawLine(QPoint(5, 11), QPoint(2, 10));
    p.drawLine(QPoint(4, 6), QPoint(5, 3));
    p.setPen(QColor(255, 128, 0));
    p.drawPoint(c);
}

void PaintLeaf(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath leaf;
    leaf.moveTo(2, 13);
    leaf.cubicTo(2, 4, 8, 1, 14, 1);
    leaf.cubicTo(14, 8, 10, 13, 2, 13);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(64, 176, 48));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(0, 80, 0), 1));
    p.drawLine(QPointF(1.5, 14), QPointF(11, 4));
}

void PaintFolder(QPainter &p)
{
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(255, 208, 64));
    p.drawRect(1, 3, 13, 10);
    p.drawRect(1, 2, 5, 1);
    p.setBrush(QColor(255, 240, 160));
    const QPoint flap[] = {{3, 7}, {15, 7}, {13, 13}, {1, 13}};
    p.drawPolygon(flap, 4);
}

void PaintDisk(QPainter &p)
{
    p.setPen(QColor(0, 0, 64));
    p.setBrush(QColor(32, 64, 176));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(3, 1, 9, 5);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(4, 9, 7, 5);
    p.fillRect(5, 10, 2, 3, QColor(32, 64, 176));
}

void PaintPages(QPainter &p)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 8, 10);
    p.drawRect(6, 4, 8, 10);
    p.setPen(QColor(0, 0, 160));
    for (int y = 7; y <= 11; y += 2)
        p.drawLine(8, y, 12, y);
}

void PaintMagnifier(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 64, 32), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14));
    p.setPen(QPen(QColor(32, 32, 32), 1.3));
    p.setBrush(QColor(200, 232, 255));
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.setPen(QPen(QColor(192, 0, 0), 1.5));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void PaintBackArrow(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(48, 176, 48));
    const QPointF arrow[] = {{1, 7.5}, {7, 1.5}, {7, 5}, {14.5, 5}, {14.5, 10}, {7, 10}, {7, 13.5}};
    p.drawPolygon(arrow, 7);
}

void PaintComputer(QPainter &p)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(208, 208, 208));
    p.drawRect(1, 0, 13, 10);
    p.fillRect(3, 2, 10, 7, QColor(0, 128, 128));
    p.fillRect(6, 11, 4, 1, QColor(96, 96, 96));
    p.drawRect(2, 12, 11, 2);
}

void PaintLetterDisc(QPainter &p, const QColor &disc, const QColor &ink, const QString &letter)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(disc.darker(160));
    p.setBrush(disc);
    p.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRectF(0.5, 0.5, 14, 14), Qt::AlignCenter, letter);
}

void PaintCross(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 2.5), QPointF(13, 12.5));
    p.drawLine(QPointF(13, 2.5), QPointF(3, 12.5));
}

// Pictures drawn on the pixel grid (upright outlines and fills, one-pixel lines): at a higher
// scale each of their pixels becomes a block. Painted again at the scale, their outlines would
// slip off their fills, since a one-pixel pen falls right of and below its line and a wider one
// is centred on it. The others are painted through a painter scaled to device pixels.
bool OnPixelGrid(int nID)
{
    switch (nID) {
    case ID_FILE_OPEN:
    case ID_FILE_SAVE_AS:
    case ID_EDIT_COPY:
    case ID_DLA:
    case ID_SYSINFO:
        return true;
    default:
        return false;
    }
}

bool PaintDrawing(QPainter &p, int nID)
{
    switch (nID) {
    case ID_FILE_OPEN:
        PaintFolder(p);
        break;
    case ID_FILE_SAVE_AS:
        PaintDisk(p);
        break;
    case ID_EDIT_COPY:
        PaintPages(p);
        break;
    case ID_ZOOM_IN:
        PaintMagnifier(p);
        break;
    case ID_EDIT_BACK:
        PaintBackArrow(p);
        break;
    case ID_DLA:
        PaintDla(p);
        break;
    case ID_LEAF:
        PaintLeaf(p);
        break;
    case ID_SYSINFO:
        PaintComputer(p);
        break;
    case ID_APP_ABOUT:
        PaintLetterDisc(p, QColor(48, 96, 208), Qt::white, QStringLiteral("i"));
        break;
    case ID_HELP_TOPICS:
        PaintLetterDisc(p, QColor(255, 216, 64), QColor(0, 0, 128), QStringLiteral("?"));
        break;
    case ID_FILE_CLOSE:
        PaintCross(p);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

QSize ToolBarPictureSize()
{
    return {kWidth, kHeight};
}

QImage PaintToolBarPicture(int nID, int nScale)
{
    if (nScale < 1 || nScale > kMaxScale)
        return {};
    QImage img(kWidth * nScale, kHeight * nScale, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    switch (nID) {
    case ID_MANDELBROT:
        PaintEscape(img, false, nScale);
        break;
    case ID_JULIA:
        PaintEscape(img, true, nScale);
        break;
    case ID_MARTIN:
        PlotOrbit(img, false, nScale);
        break;
    case ID_MIRA:
        PlotOrbit(img, true, nScale);
        break;
    case ID_WALLPAPER:
        PaintWallpaper(img, nScale);
        break;
    default:
        if (nScale > 1 && OnPixelGrid(nID)) {
            img = PaintToolBarPicture(nID).scaled(img.size(), Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation);
            break;
        }
        img.setDevicePixelRatio(nScale);
        QPainter p(&img);
        if (!PaintDrawing(p, nID))
            return {};
    }
    img.setDevicePixelRatio(nScale);
    return img;
}

QIcon ToolBarPicture(int nID)
{
    QIcon icon;
    for (int nScale = 1; nScale <= kMaxScale; ++nScale) {
        const QImage img = PaintToolBarPicture(nID, nScale);
        if (img.isNull())
            return {};
        icon.addPixmap(QPixmap::fromImage(img));
    }
    return icon;
}
