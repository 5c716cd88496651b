// SPDX-License-Identifier: GPL-3.0-or-later
// Draws Nimbulo's pictures: the compass rose with and without a marker at each
// of the sixteen points (128 x 128) and the button and application icons
// (32 x 32), each also at twice the size ("@2x") for screens of a device pixel
// ratio of 2. The PNG files it writes are committed under app/resources; run it
// again only when the artwork changes:
//   nimbulo-artwork app/resources [sheet.png]
// The optional sheet shows everything enlarged on the button blue, for review.
// The application icon at the sizes of the desktop's icon theme, committed
// under packaging/icons:
//   nimbulo-artwork --app-icons packaging/icons

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const char* const kPointNames[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                     "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};

const QColor kInk(20, 30, 70);
const QColor kMarker(220, 0, 0);
const QColor kButtonBlue(0, 0, 255);

QPointF Polar(QPointF centre, double radius, double bearingDegrees) {
    const double a = qDegreesToRadians(bearingDegrees);
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

// 1, or 2 while the @2x pictures are drawn: the drawing code keeps its
// coordinates, the image's device pixel ratio scales the painter.
int gScale = 1;

QImage NewImage(int size) {
    QImage image(size * gScale, size * gScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(gScale);
    image.fill(Qt::transparent);
    return image;
}

QFont BoldFont(int pixelSize) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// --- compass ---------------------------------------------------------------

void DrawStarPoint(QPainter& p, QPointF c, double bearing, double length, double halfWidth,
                   QColor light, QColor dark) {
    const QPointF tip = Polar(c, length, bearing);
    const QPointF left = Polar(c, halfWidth, bearing - 45);
    const QPointF right = Polar(c, halfWidth, bearing + 45);
    p.setPen(QPen(kInk, 1));
    p.setBrush(light);
    p.drawPolygon(QPolygonF({c, left, tip}));
    p.setBrush(dark);
    p.drawPolygon(QPolygonF({c, tip, right}));
}

void DrawRose(QPainter& p) {
    const QPointF c(64, 64);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(250, 247, 235));
    p.drawEllipse(c, 58, 58);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 40, 40);
    for (int i = 0; i < 16; ++i) {
        const double inner = i % 4 == 0 ? 50 : (i % 2 == 0 ? 52 : 54);
        p.setPen(QPen(kInk, i % 2 == 0 ? 2 : 1));
        p.drawLine(Polar(c, inner, i * 22.5), Polar(c, 58, i * 22.5));
    }
    for (int i = 1; i < 16; i += 2)
        DrawStarPoint(p, c, i * 22.5, 22, 4, QColor(235, 235, 235), QColor(170, 170, 170));
    for (int i = 2; i < 16; i += 4)
        DrawStarPoint(p, c, i * 22.5, 30, 6, QColor(200, 210, 235), QColor(90, 110, 170));
    for (int i = 0; i < 16; i += 4)
        DrawStarPoint(p, c, i * 22.5, 40, 8, QColor(255, 255, 255), kInk);
    p.setFont(BoldFont(11));
    p.setPen(kInk);
    const char* const cardinal[4] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        const QPointF at = Polar(c, 46, i * 90.0);
        p.drawText(QRectF(at.x() - 8, at.y() - 7, 16, 14), Qt::AlignCenter, cardinal[i]);
    }
}

void DrawMarker(QPainter& p, int point) {
    const QPointF c(64, 64);
    const double bearing = point * 22.5;
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF tip = Polar(c, 38, bearing);
    const QPointF left = Polar(c, 5, bearing - 90);
    const QPointF right = Polar(c, 5, bearing + 90);
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(kMarker);
    p.drawPolygon(QPolygonF({left, tip, right}));
    p.drawEllipse(c, 4.5, 4.5);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(Polar(c, 58, bearing), 5, 5);
    p.setFont(BoldFont(11));
    p.setPen(kMarker);
    p.drawText(QRectF(94, 112, 34, 16), Qt::AlignRight | Qt::AlignBottom, kPointNames[point]);
}

QImage CompassPicture(int point) {
    QImage image = NewImage(128);
    QPainter p(&image);
    DrawRose(p);
    if (point >= 0) DrawMarker(p, point);
    return image;
}

// --- icons -----------------------------------------------------------------

// Every glyph has a white rim so that it reads on the blue buttons.
void Outlined(QPainter& p, const QPainterPath& path, QColor fill, double rim = 2.0) {
    p.setPen(QPen(Qt::white, rim * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath Cloud(double x, double y, double scale) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(QPointF(x + 7 * scale, y + 9 * scale), 6 * scale, 5 * scale);
    path.addEllipse(QPointF(x + 14 * scale, y + 6 * scale), 7 * scale, 6.5 * scale);
    path.addEllipse(QPointF(x + 21 * scale, y + 9 * scale), 6 * scale, 5 * scale);
    path.addRect(QRectF(x + 7 * scale, y + 8 * scale, 14 * scale, 6 * scale));
    return path.simplified();
}

QPainterPath Arrow(QPointF from, QPointF to, double shaft, double head) {
    const QLineF line(from, to);
    const double len = line.length();
    QPainterPath path;
    path.moveTo(0, -shaft / 2);
    path.lineTo(len - head, -shaft / 2);
    path.lineTo(len - head, -head * 0.8);
    path.lineTo(len, 0);
    path.lineTo(len - head, head * 0.8);
    path.lineTo(len - head, shaft / 2);
    path.lineTo(0, shaft / 2);
    path.closeSubpath();
    QTransform t;
    t.translate(from.x(), from.y());
    t.rotate(-line.angle());
    return t.map(path);
}

void DrawReadIcon(QPainter& p) {
    Outlined(p, Cloud(2, 1, 1.0), QColor(245, 245, 255));
    Outlined(p, Arrow({16, 13}, {16, 30}, 5, 7), QColor(0, 200, 60));
}

void DrawExitIcon(QPainter& p) {
    QPainterPath door;
    door.addRect(QRectF(5, 4, 13, 24));
    Outlined(p, door, QColor(150, 90, 40));
    QPainterPath knob;
    knob.addEllipse(QPointF(15, 17), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 0));
    p.drawPath(knob);
    Outlined(p, Arrow({13, 16}, {30, 16}, 5, 8), QColor(240, 30, 30));
}

void DrawHelpIcon(QPainter& p) {
    QPainterPath disc;
    disc.addEllipse(QPointF(16, 16), 13, 13);
    Outlined(p, disc, QColor(255, 215, 0), 1.0);
    p.setFont(BoldFont(21));
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRectF(0, 1, 32, 31), Qt::AlignCenter, "?");
}

void DrawOptionsIcon(QPainter& p) {
    QPainterPath gear;
    gear.setFillRule(Qt::WindingFill);
    const QPointF c(16, 16);
    QPolygonF teeth;
    for (int i = 0; i < 8; ++i) {
        const double b = i * 45.0;
        teeth << Polar(c, 10, b - 17) << Polar(c, 14, b - 10) << Polar(c, 14, b + 10)
              << Polar(c, 10, b + 17);
    }
    gear.addPolygon(teeth);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 4, 4);
    Outlined(p, gear.subtracted(hole), QColor(255, 150, 0), 1.5);
}

void DrawTestIcon(QPainter& p) {
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(19, 2);
    page.lineTo(25, 8);
    page.lineTo(25, 29);
    page.lineTo(5, 29);
    page.closeSubpath();
    Outlined(p, page, QColor(255, 255, 255));
    p.setPen(QPen(QColor(110, 110, 110), 1.5));
    for (int y = 10; y <= 22; y += 4) p.drawLine(QPointF(8, y), QPointF(21, y));
    QPainterPath play;
    play.moveTo(15, 17);
    play.lineTo(30, 24);
    play.lineTo(15, 31);
    play.closeSubpath();
    Outlined(p, play, QColor(0, 200, 60), 1.0);
}

void DrawAppIcon(QPainter& p) {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    QLinearGradient sky(0, 0, 0, 32);
    sky.setColorAt(0, QColor(80, 170, 255));
    sky.setColorAt(1, QColor(20, 80, 200));
    p.setPen(QPen(QColor(10, 40, 110), 1));
    p.setBrush(sky);
    p.drawPath(tile);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(QPointF(21, 10), 6, 6);
    p.setPen(QPen(QColor(60, 60, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(Cloud(2, 9, 0.95));
    p.setPen(QPen(QColor(220, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 27), QPointF(25, 27));
}

// Icons are drawn on a 32 x 32 grid; other sizes scale the drawing.
QImage Icon(const std::function<void(QPainter&)>& draw, int size = 32) {
    QImage image = NewImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return image;
}

// The normal look is the active look, muted towards grey, so the pair reads
// as one button at rest and under the pointer.
QImage Muted(const QImage& active) {
    QImage image = active.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = qGray(c);
            auto mix = [grey](int v) { return (v * 35 + grey * 65) / 100; };
            line[x] = qRgba(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)), qAlpha(c));
        }
    }
    return image;
}

struct Artwork {
    QString file;
    QImage image;
};

std::vector<Artwork> AllArtwork(int scale) {
    gScale = scale;
    const QString suffix = scale == 1 ? QString(".png") : QString("@%1x.png").arg(scale);
    std::vector<Artwork> all;
    all.push_back({"compass/IDB_COMPASS_ROSE" + suffix, CompassPicture(-1)});
    for (int i = 0; i < 16; ++i)
        all.push_back({QString("compass/%1").arg(kPointNames[i]) + suffix, CompassPicture(i)});
    struct Pair {
        int active, normal;
        void (*draw)(QPainter&);
    };
    const Pair pairs[] = {{137, 142, DrawReadIcon},
                          {136, 135, DrawExitIcon},
                          {150, 149, DrawTestIcon},
                          {138, 139, DrawHelpIcon},
                          {146, 148, DrawOptionsIcon}};
    all.push_back({"icons/128" + suffix, Icon(DrawAppIcon)});
    for (const Pair& pair : pairs) {
        const QImage active = Icon(pair.draw);
        all.push_back({QString("icons/%1").arg(pair.active) + suffix, active});
        all.push_back({QString("icons/%1").arg(pair.normal) + suffix, Muted(active)});
    }
    return all;
}

QImage ContactSheet(const std::vector<Artwork>& all) {
    const int cell = 140;
    const int columns = 6;
    const int rows = static_cast<int>((all.size() + columns - 1) / columns);
    QImage sheet(columns * cell, rows * cell, QImage::Format_RGB32);
    sheet.fill(QColor(212, 208, 200));
    QPainter p(&sheet);
    for (size_t i = 0; i < all.size(); ++i) {
        const int x = static_cast<int>(i % columns) * cell;
        const int y = static_cast<int>(i / columns) * cell;
        const QImage& image = all[i].image;
        if (image.width() == 32) {
            // Icons at their size on a button-sized blue field, and enlarged.
            p.fillRect(x + 4, y + 4, 38, 32, kButtonBlue);
            p.drawImage(x + 7, y + 4, image);
            p.fillRect(x + 46, y + 4, 90, 90, kButtonBlue);
            p.drawImage(QRect(x + 46, y + 4, 90, 90), image);
        } else {
            p.drawImage(x + 6, y + 2, image);
        }
        p.setPen(Qt::black);
        p.drawText(QRect(x, y + cell - 14, cell, 14), Qt::AlignCenter, all[i].file);
    }
    return sheet;
}

}  // namespace

// nimbulo-<size>.png for each size of the hicolor icon theme.
int WriteAppIcons(const QDir& out) {
    out.mkpath(".");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = out.filePath(QString("nimbulo-%1.png").arg(size));
        if (!Icon(DrawAppIcon, size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2 || (std::strcmp(argv[1], "--app-icons") == 0 && argc != 3)) {
        std::fprintf(stderr,
                     "Usage: nimbulo-artwork RESOURCE_DIR [SHEET.png]\n"
                     "       nimbulo-artwork --app-icons DIR\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--app-icons") == 0)
        return WriteAppIcons(QDir(QString::fromLocal8Bit(argv[2])));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath("compass");
    out.mkpath("icons");
    const std::vector<Artwork> all = AllArtwork(1);
    std::vector<Artwork> everything = all;
    for (Artwork& art : AllArtwork(2)) everything.push_back(std::move(art));
    for (const Artwork& art : everything) {
        if (!art.image.save(out.filePath(art.file))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(art.file)));
            return 1;
        }
    }
    if (argc > 2 && !ContactSheet(all).save(QString::fromLocal8Bit(argv[2]))) return 1;
    return 0;
}
