// Draws all of the program's pictures and writes them, with the .qrc that lists them, into the
// folder given as the only argument. Everything is drawn here; the output depends on nothing but
// this code and the DejaVu fonts, so every run writes the same files.

#include "award_art.h"
#include "awards/award_catalogue.h"
#include "stats/vocabulary.h"

#include <QConicalGradient>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>

namespace {

// One palette for everything: dark slate and olive, warm amber highlights.
namespace Pal {
const QColor SlateDeep(0x14, 0x18, 0x1c);
const QColor SlateDark(0x1d, 0x23, 0x28);
const QColor Slate(0x2c, 0x34, 0x3b);
const QColor SlateLight(0x45, 0x50, 0x59);
const QColor OliveDark(0x34, 0x3a, 0x20);
const QColor Olive(0x5a, 0x63, 0x34);
const QColor OliveLight(0x84, 0x8f, 0x52);
const QColor AmberDark(0xa8, 0x66, 0x14);
const QColor Amber(0xe6, 0x9e, 0x32);
const QColor AmberLight(0xf7, 0xc9, 0x6c);
const QColor SteelDark(0x58, 0x62, 0x6a);
const QColor Steel(0x9c, 0xa6, 0xad);
const QColor SteelLight(0xdb, 0xe0, 0xe3);
const QColor Wood(0x8a, 0x5a, 0x2b);
const QColor Outline(0x0c, 0x0e, 0x10);
} // namespace Pal

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// Deterministic value noise for textures, 0..255.
int noise(int x, int y, int seed) {
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u + quint32(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return int((h ^ (h >> 16)) & 0xffu);
}

QFont artFont(qreal pixelSize, bool bold = true, bool condensed = false) {
    QFont font(condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Text as a path centred on `centre`, so that it can be outlined and filled like any shape.
QPainterPath textPath(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    return path;
}

QImage newImage(int width, int height, QColor fill = Qt::transparent) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void beginPainter(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// ----- shape helpers (favourites are designed on a 100 by 100 grid) -----

QPainterPath poly(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h, qreal radius = 0) {
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    else
        path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath unite(std::initializer_list<QPainterPath> parts) {
    QPainterPath all;
    all.setFillRule(Qt::WindingFill);
    for (const QPainterPath& part : parts)
        all.addPath(part);
    return all.simplified();
}

QPainterPath rotated(const QPainterPath& path, qreal degrees, QPointF centre) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    t.translate(-centre.x(), -centre.y());
    return t.map(path);
}

// A shape lit from above: gradient fill, dark outline.
void solid(QPainter& p, const QPainterPath& path, QColor top, QColor bottom, qreal outline = 1.6) {
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(Pal::Outline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

void metal(QPainter& p, const QPainterPath& path) {
    solid(p, path, Pal::SteelLight, Pal::Steel);
}
void darkMetal(QPainter& p, const QPainterPath& path) {
    solid(p, path, Pal::Steel, Pal::SteelDark);
}
void amber(QPainter& p, const QPainterPath& path) {
    solid(p, path, Pal::AmberLight, Pal::AmberDark);
}
void olive(QPainter& p, const QPainterPath& path) {
    solid(p, path, Pal::OliveLight, Pal::OliveDark);
}
void wood(QPainter& p, const QPainterPath& path) {
    solid(p, path, Pal::Wood.lighter(135), Pal::Wood.darker(130));
}

void line(QPainter& p, QPointF a, QPointF b, QColor colour, qreal width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
}

// The frame every favourite picture shares: a slate plate with an olive rim.
// The two-line rim that finishes every tile.
void tileRim(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Pal::Olive, 3));
    p.drawRoundedRect(QRectF(1.5, 1.5, 97, 97), 8, 8);
    p.setPen(QPen(withAlpha(Pal::Outline, 160), 1.5));
    p.drawRoundedRect(QRectF(4.5, 4.5, 91, 91), 6, 6);
}

void tile(QPainter& p, QColor top = Pal::Slate, QColor bottom = Pal::SlateDeep) {
    QLinearGradient g(0, 0, 0, 100);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, 100, 100), 9, 9);
    // Faint diagonal hatching, like a stencilled crate.
    p.save();
    p.setClipPath(rect(0, 0, 100, 100, 9));
    p.setPen(QPen(withAlpha(Pal::OliveLight, 22), 2));
    for (int x = -100; x < 100; x += 9)
        p.drawLine(QPointF(x, 100), QPointF(x + 100, 0));
    p.restore();
    tileRim(p);
}

// ----- weapons -----

QPainterPath rifleStock(qreal x0, qreal x1, qreal top, qreal bottom) {
    return poly({{x0, top + 2}, {x1, top}, {x1, top + 10}, {x0 + 3, bottom}, {x0, bottom - 1}});
}

bool drawWeapon(QPainter& p, int id) {
    switch (id) {
    case 0: { // assault rifle: carry handle, curved magazine
        metal(p, unite({rifleStock(5, 24, 42, 60), rect(24, 40, 34, 12), rect(58, 42, 20, 8, 2), rect(77, 44.5, 18, 3),
                        rect(72, 35, 3, 8), rect(30, 33, 20, 3.5), rect(31, 33, 3, 8), rect(46, 33, 3, 8),
                        poly({{32, 52}, {39, 52}, {36, 64}, {29, 63}}),
                        poly({{44, 52}, {52, 52}, {56, 67}, {48.5, 69.5}})}));
        return true;
    }
    case 1: { // grenade launcher: stubby fat barrel and a 40 mm round
        wood(p, poly({{4, 44}, {28, 40}, {30, 52}, {8, 60}, {4, 58}}));
        darkMetal(p, unite({rect(28, 39, 16, 13, 2), poly({{32, 52}, {39, 52}, {36, 63}, {29, 62}})}));
        p.setPen(QPen(Pal::Outline, 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(34, 47, 12, 12), 180 * 16, 180 * 16);
        wood(p, rect(46, 46, 22, 7, 2));
        darkMetal(p, unite({rect(42, 34, 46, 13, 3), rect(86, 33, 4, 15, 1), rect(50, 29, 3, 6)}));
        p.setPen(QPen(Pal::Steel, 1.6));
        p.drawLine(QPointF(48, 37), QPointF(84, 37));
        metal(p, rect(60, 62, 8, 13, 1.5));
        amber(p, unite({rect(67, 62, 10, 13, 1), ellipse(78, 68.5, 7, 6.5)}));
        return true;
    }
    case 2: { // carbine: short, skeleton stock, red-dot sight
        metal(p, unite({poly({{10, 43}, {26, 42}, {26, 46}, {14, 47}, {14, 56}, {26, 53}, {26, 57}, {10, 60}}),
                        rect(26, 40, 30, 12), rect(56, 42, 16, 8, 2), rect(71, 44.5, 14, 3),
                        poly({{31, 52}, {38, 52}, {35, 64}, {28, 63}}), rect(43, 52, 7, 15, 1.5)}));
        darkMetal(p, rect(34, 32, 12, 8, 2));
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Amber);
        p.drawEllipse(QPointF(40, 36), 2.4, 2.4);
        return true;
    }
    case 3: { // light machine gun: bipod, box magazine, heavy barrel
        metal(p,
              unite({rifleStock(4, 22, 40, 58), rect(22, 38, 38, 13), rect(60, 40, 14, 9, 2), rect(73, 42.5, 22, 4.5),
                     poly({{28, 51}, {35, 51}, {32, 62}, {25, 61}}), rect(30, 32, 22, 6, 2)}));
        darkMetal(p, rect(40, 51, 16, 14, 2));
        line(p, {80, 47}, {72, 68}, Pal::Outline, 4.2);
        line(p, {80, 47}, {88, 68}, Pal::Outline, 4.2);
        line(p, {80, 47}, {72, 68}, Pal::Steel, 2.2);
        line(p, {80, 47}, {88, 68}, Pal::Steel, 2.2);
        return true;
    }
    case 4: { // sniper rifle: long barrel, big scope, no magazine
        wood(p, poly({{4, 46}, {30, 44}, {32, 52}, {20, 52}, {8, 60}, {4, 58}}));
        metal(p, unite({rect(30, 44, 26, 8, 2), rect(55, 46, 41, 3), rect(92, 45, 4, 5)}));
        darkMetal(p, unite({rect(34, 35, 22, 6, 3), poly({{30, 33.5}, {36, 35}, {36, 41}, {30, 42.5}}),
                            poly({{54, 35}, {61, 33}, {61, 43}, {54, 41}}), rect(42, 41, 4, 3)}));
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::AmberLight);
        p.drawRect(QRectF(59.5, 35, 1.6, 6));
        line(p, {44, 52}, {47, 58}, Pal::Outline, 3);
        return true;
    }
    case 5: { // pistol
        darkMetal(p, unite({poly({{26, 42}, {48, 42}, {43, 74}, {23, 72}}),
                            poly({{46, 42}, {60, 42}, {57, 54}, {46, 54}}), rect(56, 42, 20, 4)}));
        metal(p, unite({rect(22, 29, 58, 14, 2.5), rect(18, 31, 6, 6, 1.5)}));
        p.setPen(QPen(withAlpha(Pal::Outline, 160), 1.2));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(29, 52 + i * 5), QPointF(42, 52 + i * 5));
        p.setPen(QPen(Pal::Outline, 2.2));
        p.setBrush(Pal::SlateDeep);
        p.drawRoundedRect(QRectF(46, 46, 9, 6), 2, 2);
        p.setPen(QPen(Pal::SteelDark, 1.5));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(28 + i * 3.5, 32), QPointF(28 + i * 3.5, 40));
        amber(p, rect(75, 26.5, 3, 3));
        return true;
    }
    case 6: { // AT/AA: launcher tube with its rocket
        amber(p, poly({{78, 41}, {96, 47.5}, {78, 54}}));
        olive(p, unite({rect(8, 40, 72, 15, 3), poly({{4, 37}, {12, 40}, {12, 55}, {4, 58}})}));
        darkMetal(p, unite({rect(40, 31, 12, 9, 2), poly({{36, 55}, {43, 55}, {41, 66}, {34, 65}}),
                            poly({{55, 55}, {61, 55}, {60, 63}, {54, 63}})}));
        p.setPen(QPen(Pal::OliveDark, 1.5));
        p.drawLine(QPointF(20, 43), QPointF(20, 52));
        p.drawLine(QPointF(66, 43), QPointF(66, 52));
        return true;
    }
    case 7: { // submachine gun: compact, long straight magazine, folded wire stock
        metal(p, unite({rect(26, 38, 44, 12, 2), rect(70, 41.5, 14, 5), poly({{36, 50}, {43, 50}, {40, 61}, {33, 60}}),
                        rect(52, 50, 7, 24, 1.5)}));
        p.setPen(QPen(Pal::Outline, 4));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(26, 41), QPointF(12, 41), QPointF(12, 50), QPointF(26, 48)}));
        p.setPen(QPen(Pal::Steel, 2));
        p.drawPolyline(QPolygonF({QPointF(26, 41), QPointF(12, 41), QPointF(12, 50), QPointF(26, 48)}));
        amber(p, rect(64, 34, 3, 4));
        return true;
    }
    case 8: { // shotgun: wooden stock and pump, two tubes
        wood(p, poly({{4, 45}, {30, 42}, {32, 50}, {26, 51}, {8, 61}, {4, 59}}));
        metal(p, unite({rect(30, 41, 20, 10, 2), rect(50, 42, 46, 3.5), rect(50, 47, 40, 3.5),
                        poly({{34, 51}, {40, 51}, {38, 58}, {33, 57}})}));
        wood(p, rect(58, 45.5, 18, 7, 2.5));
        p.setPen(QPen(withAlpha(Pal::Outline, 200), 1.2));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(61 + i * 4, 46.5), QPointF(61 + i * 4, 51.5));
        return true;
    }
    case 9: { // combat knife, point up and to the right
        const QPointF c(50, 50);
        QPainterPath blade = poly({{44, 46}, {84, 46}, {94, 50}, {86, 53}, {44, 54}});
        metal(p, rotated(blade, -35, c));
        p.setPen(QPen(Pal::SteelLight.lighter(110), 1.4));
        p.drawPath(rotated(poly({{48, 48}, {84, 48}}), -35, c));
        amber(p, rotated(rect(39, 40, 6, 20, 2), -35, c));
        solid(p, rotated(rect(12, 45, 28, 10, 4), -35, c), Pal::SlateLight, Pal::SlateDeep);
        p.setPen(QPen(Pal::SteelDark, 1.4));
        for (int i = 0; i < 3; ++i)
            p.drawPath(rotated(poly({{18.0 + i * 7, 46}, {18.0 + i * 7, 54}}), -35, c));
        return true;
    }
    case 10: { // defibrillator: two paddles and a spark
        for (int side = 0; side < 2; ++side) {
            const qreal x = side == 0 ? 12 : 62;
            solid(p, rect(x + 6, 22, 14, 30, 6), Pal::SlateLight, Pal::SlateDeep);
            metal(p, rect(x, 52, 26, 10, 3));
            darkMetal(p, rect(x + 3, 62, 20, 5, 1.5));
        }
        amber(p, poly({{54, 24}, {42, 50}, {51, 50}, {44, 78}, {60, 44}, {51, 44}, {58, 24}}));
        return true;
    }
    case 11: { // explosives: C4 brick with detonator, a mine behind
        solid(p, ellipse(70, 70, 22, 9), Pal::SteelDark, Pal::SlateDeep);
        darkMetal(p, rect(64, 58, 12, 6, 2));
        olive(p, rect(12, 34, 56, 30, 3));
        p.setPen(QPen(Pal::OliveDark, 1.5));
        p.drawLine(QPointF(16, 42), QPointF(64, 42));
        solid(p, rect(22, 32, 6, 34), Pal::SlateLight, Pal::SlateDark, 1.2);
        solid(p, rect(52, 32, 6, 34), Pal::SlateLight, Pal::SlateDark, 1.2);
        darkMetal(p, rect(32, 22, 16, 12, 2));
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Amber);
        p.drawEllipse(QPointF(40, 28), 3, 3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Pal::AmberDark, 2));
        p.drawPath([] {
            QPainterPath wire(QPointF(48, 26));
            wire.cubicTo(QPointF(62, 14), QPointF(74, 30), QPointF(86, 20));
            return wire;
        }());
        return true;
    }
    case 12: { // hand grenade: ribbed body, lever, pull ring
        p.setPen(QPen(Pal::Outline, 3.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(30, 30), 8, 8);
        p.setPen(QPen(Pal::Amber, 2.2));
        p.drawEllipse(QPointF(30, 30), 8, 8);
        darkMetal(p,
                  unite({rect(42, 22, 14, 12, 2), poly({{54, 22}, {70, 30}, {68, 58}, {62, 58}, {62, 33}, {52, 28}})}));
        olive(p, ellipse(49, 62, 20, 24));
        p.setPen(QPen(withAlpha(Pal::OliveDark, 230), 1.6));
        for (int i = -2; i <= 2; ++i) {
            p.drawLine(QPointF(29 + 0, 62 + i * 8), QPointF(69, 62 + i * 8));
            p.drawLine(QPointF(49 + i * 8, 40), QPointF(49 + i * 8, 84));
        }
        p.setPen(QPen(Pal::Outline, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(49, 62), 20, 24);
        return true;
    }
    default:
        return false; // an id without a drawing is a fault in the generator
    }
}

// ----- vehicles -----

void wheels(QPainter& p, std::initializer_list<qreal> xs, qreal y, qreal r) {
    for (qreal x : xs) {
        solid(p, ellipse(x, y, r, r), Pal::SlateLight, Pal::SlateDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Steel);
        p.drawEllipse(QPointF(x, y), r * 0.4, r * 0.4);
    }
}

bool drawVehicle(QPainter& p, int id) {
    switch (id) {
    case 0: { // main battle tank
        solid(p, rect(10, 56, 72, 18, 9), Pal::SlateLight, Pal::SlateDeep);
        for (qreal x : {20.0, 32.0, 44.0, 56.0, 68.0}) {
            p.setPen(QPen(Pal::Outline, 1.2));
            p.setBrush(Pal::SteelDark);
            p.drawEllipse(QPointF(x, 65), 5, 5);
        }
        olive(p, poly({{8, 56}, {14, 46}, {82, 46}, {90, 56}}));
        metal(p, rect(52, 36.5, 42, 4, 1));
        olive(p, poly({{28, 46}, {32, 32}, {58, 30}, {64, 36}, {64, 46}}));
        darkMetal(p, rect(38, 25, 8, 6, 1.5));
        amber(p, rect(90, 35.5, 5, 6, 1));
        return true;
    }
    case 1: { // jet fighter seen from above, nose up
        metal(p,
              unite({poly({{50, 8}, {56, 24}, {57, 70}, {54, 88}, {46, 88}, {43, 70}, {44, 24}}),
                     poly({{45, 42}, {10, 66}, {10, 72}, {45, 62}}), poly({{55, 42}, {90, 66}, {90, 72}, {55, 62}}),
                     poly({{46, 76}, {30, 90}, {30, 93}, {47, 88}}), poly({{54, 76}, {70, 90}, {70, 93}, {53, 88}})}));
        amber(p, poly({{50, 20}, {53, 28}, {53, 38}, {47, 38}, {47, 28}}));
        p.setPen(QPen(Pal::SteelDark, 1.4));
        p.drawLine(QPointF(50, 42), QPointF(50, 82));
        return true;
    }
    case 2: { // mobile air defence: tracked hull, raised twin guns, radar dish
        solid(p, rect(10, 62, 66, 14, 7), Pal::SlateLight, Pal::SlateDeep);
        wheels(p, {20, 34, 48, 62}, 69, 4.5);
        olive(p, poly({{8, 62}, {12, 52}, {78, 52}, {82, 62}}));
        const QPointF pivot(50, 44);
        metal(p, rotated(rect(48, 37, 44, 3), -40, pivot));
        metal(p, rotated(rect(48, 43, 44, 3), -40, pivot));
        olive(p, poly({{30, 52}, {34, 38}, {60, 38}, {64, 52}}));
        line(p, {36, 38}, {30, 26}, Pal::Outline, 3.5);
        line(p, {36, 38}, {30, 26}, Pal::Steel, 1.8);
        p.save();
        p.translate(28, 22);
        p.rotate(-20);
        amber(p, [] {
            QPainterPath dish;
            dish.moveTo(-12, 0);
            dish.quadTo(0, 10, 12, 0);
            dish.lineTo(10, -2);
            dish.quadTo(0, 5, -10, -2);
            dish.closeSubpath();
            return dish;
        }());
        p.restore();
        return true;
    }
    case 3: { // helicopter, side view
        metal(p, unite({[] {
                            QPainterPath body(QPointF(20, 52));
                            body.cubicTo(QPointF(20, 36), QPointF(44, 34), QPointF(60, 38));
                            body.lineTo(92, 44);
                            body.lineTo(94, 50);
                            body.lineTo(62, 56);
                            body.cubicTo(QPointF(46, 66), QPointF(22, 66), QPointF(20, 52));
                            return body;
                        }(),
                        poly({{86, 44}, {92, 30}, {96, 30}, {94, 46}}), rect(46, 30, 10, 8, 2)}));
        solid(p, poly({{24, 46}, {30, 39}, {40, 38}, {40, 48}}), Pal::AmberLight, Pal::AmberDark, 1.2);
        line(p, {10, 27}, {92, 27}, Pal::Outline, 4);
        line(p, {10, 27}, {92, 27}, Pal::SteelLight, 2);
        line(p, {51, 27}, {51, 31}, Pal::Outline, 3);
        line(p, {32, 63}, {30, 72}, Pal::Outline, 2.4);
        line(p, {54, 62}, {56, 72}, Pal::Outline, 2.4);
        line(p, {20, 73}, {66, 73}, Pal::Outline, 4);
        line(p, {20, 73}, {66, 73}, Pal::Steel, 2);
        return true;
    }
    case 4: { // transport: light utility vehicle
        olive(p, poly({{8, 50}, {14, 44}, {34, 44}, {42, 32}, {70, 32}, {74, 44}, {92, 46}, {94, 64}, {8, 64}}));
        p.setPen(QPen(Pal::Outline, 1.2));
        p.setBrush(withAlpha(Pal::SteelLight, 210));
        p.drawPolygon(QPolygonF({QPointF(45, 35), QPointF(56, 35), QPointF(56, 44), QPointF(39, 44)}));
        p.drawRect(QRectF(59, 35, 11, 9));
        wheels(p, {26, 76}, 66, 10);
        amber(p, rect(88, 49, 5, 4, 1));
        return true;
    }
    case 6: { // ground defence: machine gun on a tripod behind sandbags
        metal(p, unite({rect(30, 30, 26, 9, 2), rect(55, 32.5, 36, 4), rect(24, 31, 8, 7, 2)}));
        darkMetal(p, rect(36, 39, 10, 8, 1));
        line(p, {42, 46}, {30, 60}, Pal::Outline, 3.2);
        line(p, {42, 46}, {54, 60}, Pal::Outline, 3.2);
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < 4 - row; ++i)
                olive(p, rect(8 + row * 11 + i * 22, 72 - row * 13, 22, 13, 6));
        amber(p, rect(88, 31.5, 5, 6, 1));
        return true;
    }
    default:
        return false; // an id without a drawing is a fault in the generator
    }
}

// ----- kits: a soldier's bust with the kit's equipment -----

void bust(QPainter& p, bool boonie = false, bool goggles = false) {
    QPainterPath body(QPointF(10, 96));
    body.cubicTo(QPointF(10, 70), QPointF(22, 62), QPointF(40, 62));
    body.cubicTo(QPointF(58, 62), QPointF(70, 70), QPointF(70, 96));
    body.closeSubpath();
    solid(p, body, Pal::OliveLight, Pal::OliveDark);
    solid(p, ellipse(40, 44, 13, 15), Pal::SteelDark, Pal::SlateDark);
    if (boonie) {
        olive(p, unite({ellipse(40, 34, 22, 5), ellipse(40, 29, 13, 9)}));
    } else {
        olive(p, [] {
            QPainterPath helmet(QPointF(24, 40));
            helmet.cubicTo(QPointF(24, 20), QPointF(56, 20), QPointF(56, 40));
            helmet.lineTo(24, 40);
            return helmet;
        }());
    }
    if (goggles) {
        darkMetal(p, unite({rect(30, 26, 8, 10, 2), rect(42, 26, 8, 10, 2)}));
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Amber);
        p.drawEllipse(QPointF(34, 35), 3, 2.5);
        p.drawEllipse(QPointF(46, 35), 3, 2.5);
    }
}

// A round amber badge at the lower right holding the kit's sign.
void badge(QPainter& p, const std::function<void(QPainter&)>& sign) {
    solid(p, ellipse(70, 68, 27, 27), Pal::Slate, Pal::SlateDeep, 2);
    p.setPen(QPen(Pal::Amber, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(70, 68), 23, 23);
    // Signs are drawn round (72, 70) at the size of a 20-unit badge.
    p.save();
    p.translate(70, 68);
    p.scale(1.15, 1.15);
    p.translate(-72, -70);
    sign(p);
    p.restore();
}

bool drawKit(QPainter& p, int id) {
    switch (id) {
    case 0: // anti-tank: launcher over the shoulder
        bust(p);
        badge(p, [](QPainter& q) {
            const QPointF c(72, 70);
            metal(q, rotated(unite({rect(56, 68.3, 16, 3.4), poly({{56, 64}, {62, 68.3}, {62, 71.7}, {56, 76}})}), -35,
                             c));
            amber(q, rotated(
                         [] {
                             QPainterPath head(QPointF(71, 64.5));
                             head.lineTo(80, 64.5);
                             head.cubicTo(QPointF(86, 65), QPointF(90, 68), QPointF(92, 70));
                             head.cubicTo(QPointF(90, 72), QPointF(86, 75), QPointF(80, 75.5));
                             head.lineTo(71, 75.5);
                             head.closeSubpath();
                             return head;
                         }(),
                         -35, c));
        });
        return true;
    case 1: // assault: rifle
        bust(p);
        badge(p, [](QPainter& q) {
            metal(q, rotated(unite({rect(56, 67, 32, 5), rect(60, 72, 4, 7), rect(68, 72, 4, 8)}), -30, {72, 70}));
        });
        return true;
    case 2: // engineer: wrench
        bust(p);
        badge(p, [](QPainter& q) {
            QPainterPath wrench = unite({rect(58, 67, 24, 6, 2), ellipse(84, 70, 7, 7)});
            QPainterPath jaw = rect(85, 67.5, 8, 5);
            metal(q, rotated(wrench.subtracted(jaw), -40, {72, 70}));
        });
        return true;
    case 3: // medic: cross
        bust(p);
        badge(p, [](QPainter& q) {
            solid(q, unite({rect(66, 56, 12, 28, 1), rect(58, 64, 28, 12, 1)}), Pal::SteelLight, Pal::Steel);
        });
        return true;
    case 4: // special forces: night-vision goggles and a knife
        bust(p, false, true);
        badge(p, [](QPainter& q) {
            metal(q, poly({{72, 52}, {76, 60}, {75.5, 73}, {68.5, 73}, {68, 60}}));
            amber(q, rect(63, 73, 18, 4, 1.5));
            solid(q, rect(69.5, 77, 5, 10, 1.5), Pal::SlateLight, Pal::SlateDeep, 1.4);
        });
        return true;
    case 5: // support: ammunition box with rounds
        bust(p);
        badge(p, [](QPainter& q) {
            olive(q, rect(60, 68, 24, 14, 1.5));
            for (int i = 0; i < 3; ++i)
                amber(q, unite({rect(63 + i * 7, 60, 4.5, 9), ellipse(65.25 + i * 7, 60, 2.25, 3)}));
        });
        return true;
    case 6: // sniper: boonie hat and a reticle
        bust(p, true);
        badge(p, [](QPainter& q) {
            q.setBrush(Qt::NoBrush);
            q.setPen(QPen(Pal::SteelLight, 2.4));
            q.drawEllipse(QPointF(72, 70), 10, 10);
            q.drawLine(QPointF(72, 56), QPointF(72, 66));
            q.drawLine(QPointF(72, 74), QPointF(72, 84));
            q.drawLine(QPointF(58, 70), QPointF(68, 70));
            q.drawLine(QPointF(76, 70), QPointF(86, 70));
            q.setPen(Qt::NoPen);
            q.setBrush(Pal::Amber);
            q.drawEllipse(QPointF(72, 70), 2, 2);
        });
        return true;
    default:
        return false; // an id without a drawing is a fault in the generator
    }
}

// ----- maps: a terrain tile with the map's initials -----

enum class Terrain {
    Desert,
    DesertCity,
    River,
    Coast,
    Wetland,
    Plains,
    Industrial,
    Valley,
    Mountain,
    Forest,
    Sea,
    Night,
    City,
    Winter,
    Island
};

struct MapArt {
    int id;
    const char* initials;
    Terrain terrain;
};

const MapArt mapArt[] = {
    {0, "KD", Terrain::River},       {1, "MC", Terrain::DesertCity}, {2, "OC", Terrain::Coast},
    {3, "ZW", Terrain::Wetland},     {4, "SK", Terrain::DesertCity}, {5, "SP", Terrain::Coast},
    {6, "GO", Terrain::Coast},       {100, "DO", Terrain::Plains},   {101, "DP", Terrain::Industrial},
    {102, "DV", Terrain::Valley},    {103, "FP", Terrain::Mountain}, {105, "SS", Terrain::Valley},
    {300, "D'P", Terrain::Mountain}, {301, "IG", Terrain::Sea},      {302, "NF", Terrain::Night},
    {303, "WA", Terrain::City},      {304, "LE", Terrain::Forest},   {305, "MD", Terrain::Desert},
    {306, "SU", Terrain::City},      {307, "GT", Terrain::Winter},   {601, "WI", Terrain::Island},
};

void fillTerrain(QPainter& p, Terrain terrain, int seed) {
    const auto ground = [&p](QColor top, QColor bottom) {
        QLinearGradient g(0, 0, 0, 100);
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillRect(QRectF(0, 0, 100, 100), g);
    };
    const auto speckle = [&p, seed](QColor colour, int density, qreal size) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        for (int y = 0; y < 100; y += 6)
            for (int x = 0; x < 100; x += 6)
                if (noise(x, y, seed) < density)
                    p.drawEllipse(QPointF(x + noise(x, y, seed + 1) % 6, y + noise(x, y, seed + 2) % 6), size, size);
    };
    const QColor sand(0xc2, 0xa2, 0x64), sandDark(0x8e, 0x70, 0x40);
    const QColor water(0x3d, 0x62, 0x74), waterDark(0x24, 0x3d, 0x4b);
    const QColor green(0x5e, 0x72, 0x3a), greenDark(0x33, 0x45, 0x22);
    const QColor concrete(0x7a, 0x7e, 0x80), concreteDark(0x4a, 0x4e, 0x52);
    const auto waves = [&p](QColor colour, qreal from) {
        p.setPen(QPen(colour, 1.8));
        p.setBrush(Qt::NoBrush);
        for (qreal y = from; y < 100; y += 9) {
            QPainterPath wave(QPointF(0, y));
            for (qreal x = 0; x < 100; x += 20)
                wave.quadTo(QPointF(x + 5, y - 3), QPointF(x + 10, y)),
                    wave.quadTo(QPointF(x + 15, y + 3), QPointF(x + 20, y));
            p.drawPath(wave);
        }
    };
    const auto blocks = [&p, seed](QColor colour, int rows) {
        p.setPen(QPen(withAlpha(Pal::Outline, 150), 1));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 6; ++c) {
                const int h = 8 + noise(c, r, seed) % 14;
                const qreal x = 4 + c * 16;
                const qreal y = 96 - (r + 1) * 22 + (22 - h);
                p.setBrush(colour.lighter(90 + noise(c, r, seed + 3) % 30));
                p.drawRect(QRectF(x, y, 12, h));
            }
    };
    switch (terrain) {
    case Terrain::Desert:
        ground(sand, sandDark);
        p.setPen(QPen(withAlpha(sandDark.darker(120), 150), 2.2));
        for (qreal y = 18; y < 100; y += 16) {
            QPainterPath dune(QPointF(-5, y));
            dune.cubicTo(QPointF(25, y - 10), QPointF(55, y + 10), QPointF(105, y - 4));
            p.drawPath(dune);
        }
        break;
    case Terrain::DesertCity:
        ground(sand, sandDark);
        blocks(QColor(0xa8, 0x92, 0x6c), 3);
        break;
    case Terrain::River:
        ground(sand, sandDark);
        p.setPen(Qt::NoPen);
        p.setBrush(water);
        p.drawPath([] {
            QPainterPath river(QPointF(30, 0));
            river.cubicTo(QPointF(20, 40), QPointF(80, 60), QPointF(62, 100));
            river.lineTo(82, 100);
            river.cubicTo(QPointF(98, 60), QPointF(40, 40), QPointF(50, 0));
            river.closeSubpath();
            return river;
        }());
        p.setBrush(concreteDark);
        p.drawRect(QRectF(0, 16, 100, 7));
        break;
    case Terrain::Coast:
        ground(sand, sandDark);
        p.setPen(Qt::NoPen);
        p.setBrush(water);
        p.drawPath([] {
            QPainterPath sea(QPointF(100, 0));
            sea.lineTo(55, 0);
            sea.cubicTo(QPointF(70, 35), QPointF(35, 60), QPointF(45, 100));
            sea.lineTo(100, 100);
            sea.closeSubpath();
            return sea;
        }());
        waves(withAlpha(Pal::SteelLight, 70), 8);
        speckle(greenDark, 60, 2.5);
        break;
    case Terrain::Wetland:
        ground(green, greenDark);
        p.setPen(Qt::NoPen);
        p.setBrush(water);
        for (int i = 0; i < 6; ++i)
            p.drawEllipse(QPointF(10 + noise(i, 1, 7) % 80, 10 + noise(i, 2, 7) % 80), 9 + noise(i, 3, 7) % 8, 5);
        speckle(QColor(0x8a, 0x94, 0x4c), 90, 1.6);
        break;
    case Terrain::Plains:
        ground(QColor(0xa8, 0x9a, 0x52), QColor(0x6a, 0x62, 0x30));
        p.setPen(QPen(withAlpha(Pal::OliveDark, 150), 1.5));
        for (qreal y = 10; y < 100; y += 8)
            p.drawLine(QPointF(0, y), QPointF(100, y - 12));
        for (qreal x : {18.0, 78.0}) { // oil derricks
            p.setPen(QPen(Pal::Outline, 2.5));
            p.drawLine(QPointF(x - 7, 92), QPointF(x, 66));
            p.drawLine(QPointF(x + 7, 92), QPointF(x, 66));
            p.drawLine(QPointF(x - 4, 80), QPointF(x + 4, 80));
        }
        break;
    case Terrain::Industrial:
        ground(concrete, concreteDark);
        blocks(QColor(0x6a, 0x70, 0x74), 2);
        p.setPen(QPen(Pal::Outline, 1));
        p.setBrush(QColor(0x8a, 0x86, 0x7c));
        p.drawEllipse(QPointF(24, 22), 12, 12);
        p.drawRect(QRectF(70, 6, 8, 40));
        p.setBrush(water);
        p.drawRect(QRectF(0, 88, 100, 12));
        break;
    case Terrain::Valley:
        ground(green, greenDark);
        p.setPen(Qt::NoPen);
        p.setBrush(water);
        p.drawPath([] {
            QPainterPath river(QPointF(0, 62));
            river.cubicTo(QPointF(30, 40), QPointF(60, 90), QPointF(100, 58));
            river.lineTo(100, 70);
            river.cubicTo(QPointF(60, 102), QPointF(30, 52), QPointF(0, 74));
            river.closeSubpath();
            return river;
        }());
        speckle(greenDark.darker(120), 110, 3.5);
        break;
    case Terrain::Mountain:
        ground(QColor(0x6a, 0x78, 0x5a), greenDark);
        for (int i = 0; i < 3; ++i) {
            const qreal x = 10 + i * 36, top = 14 + (i % 2) * 14;
            p.setPen(QPen(Pal::Outline, 1));
            p.setBrush(QColor(0x6e, 0x72, 0x6c).darker(100 + i * 8));
            p.drawPolygon(QPolygonF({QPointF(x - 30, 100), QPointF(x + 10, top), QPointF(x + 50, 100)}));
            p.setBrush(Pal::SteelLight);
            p.drawPolygon(QPolygonF({QPointF(x + 2, top + 16), QPointF(x + 10, top), QPointF(x + 18, top + 16)}));
        }
        speckle(greenDark.darker(130), 70, 3);
        break;
    case Terrain::Forest:
        ground(greenDark, greenDark.darker(140));
        speckle(green.darker(110), 200, 5);
        speckle(QColor(0x1e, 0x2c, 0x16), 120, 3);
        break;
    case Terrain::Sea:
        ground(water, waterDark);
        waves(withAlpha(Pal::SteelLight, 90), 6);
        p.setPen(QPen(Pal::Outline, 1.2));
        p.setBrush(Pal::SteelDark);
        p.drawPolygon(QPolygonF({QPointF(14, 78), QPointF(86, 78), QPointF(78, 90), QPointF(22, 90)}));
        break;
    case Terrain::Night:
        ground(QColor(0x22, 0x2c, 0x40), QColor(0x0e, 0x12, 0x1c));
        speckle(withAlpha(Pal::SteelLight, 200), 40, 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::AmberLight);
        p.drawEllipse(QPointF(78, 20), 9, 9);
        p.setBrush(QColor(0x22, 0x2c, 0x40));
        p.drawEllipse(QPointF(83, 17), 8, 8);
        blocks(QColor(0x30, 0x36, 0x42), 1);
        break;
    case Terrain::City:
        ground(concrete, concreteDark);
        blocks(QColor(0x8e, 0x8a, 0x84), 3);
        break;
    case Terrain::Winter:
        ground(QColor(0xd4, 0xda, 0xde), QColor(0x98, 0xa2, 0xa8));
        blocks(QColor(0x6e, 0x66, 0x5e), 1);
        speckle(withAlpha(Qt::white, 200), 60, 1.2);
        break;
    case Terrain::Island:
        ground(water, waterDark);
        waves(withAlpha(Pal::SteelLight, 70), 6);
        p.setPen(QPen(sandDark, 1.5));
        p.setBrush(sand);
        p.drawPath(ellipse(50, 56, 40, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawPath(ellipse(52, 56, 30, 16));
        break;
    }
}

void drawMap(QPainter& p, const MapArt& map) {
    p.save();
    p.setClipPath(rect(0, 0, 100, 100, 9));
    fillTerrain(p, map.terrain, map.id + 11);
    // A dark band for the initials keeps them legible on any ground.
    p.fillRect(QRectF(0, 32, 100, 36), withAlpha(Pal::SlateDeep, 170));
    p.fillRect(QRectF(0, 32, 100, 2), withAlpha(Pal::Amber, 200));
    p.fillRect(QRectF(0, 66, 100, 2), withAlpha(Pal::Amber, 200));
    p.restore();
    const bool three = qstrlen(map.initials) > 2;
    const QPainterPath text = textPath(QLatin1String(map.initials), artFont(three ? 30 : 36, true, three), {50, 50});
    p.setPen(QPen(Pal::Outline, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text);
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 34, 0, 66);
    g.setColorAt(0, Pal::AmberLight);
    g.setColorAt(1, Pal::Amber);
    p.setBrush(g);
    p.drawPath(text);
    tileRim(p);
}

QImage favourite(FavouriteCategory category, int id) {
    QImage image = newImage(45, 45);
    QPainter p(&image);
    beginPainter(p);
    p.scale(0.45, 0.45);
    bool drawn = false;
    switch (category) {
    case FavouriteCategory::Weapon:
        tile(p);
        // A little smaller and lower: the longest guns stay inside the rim, the lit top stays clear.
        p.translate(50, 53);
        p.scale(0.95, 0.95);
        p.translate(-50, -50);
        drawn = drawWeapon(p, id);
        break;
    case FavouriteCategory::Vehicle:
        tile(p, QColor(0x38, 0x3f, 0x2c), Pal::SlateDeep);
        drawn = drawVehicle(p, id);
        break;
    case FavouriteCategory::Kit:
        tile(p, Pal::SlateLight, Pal::SlateDeep);
        drawn = drawKit(p, id);
        break;
    case FavouriteCategory::Map:
        for (const MapArt& map : mapArt)
            if (map.id == id) {
                drawMap(p, map);
                drawn = true;
            }
        break;
    }
    p.end();
    return drawn ? image : QImage();
}

QImage placeholder() {
    QImage image = newImage(45, 45);
    QPainter p(&image);
    beginPainter(p);
    p.scale(0.45, 0.45);
    tile(p, Pal::SlateDark, Pal::SlateDeep);
    p.setPen(QPen(withAlpha(Pal::SteelDark, 120), 3, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 50), 20, 20);
    return image;
}

// ----- rank insignia, 16 by 16 on white -----

QPainterPath chevron(qreal apexY, qreal halfWidth, qreal drop) {
    QPainterPath path(QPointF(8 - halfWidth, apexY + drop));
    path.lineTo(8, apexY);
    path.lineTo(8 + halfWidth, apexY + drop);
    return path;
}

QPainterPath rocker(qreal endY) {
    QPainterPath path(QPointF(1.4, endY));
    path.quadTo(QPointF(8, endY + 4.8), QPointF(14.6, endY));
    return path;
}

QPainterPath star(QPointF centre, qreal outer) {
    const qreal inner = outer * 0.45;
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal r = i % 2 == 0 ? outer : inner;
        points << centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

void insigniaFill(QPainter& p, const QPainterPath& path, QColor light, QColor dark) {
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(Pal::Outline, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

QPainterPath oakLeaf() {
    QPainterPath leaf(QPointF(8, 1.2));
    leaf.cubicTo(QPointF(11.5, 3), QPointF(10.5, 4.5), QPointF(12.8, 5.6));
    leaf.cubicTo(QPointF(11.5, 7.5), QPointF(13.5, 8.5), QPointF(11.8, 10.5));
    leaf.cubicTo(QPointF(10.8, 12), QPointF(9.5, 12.5), QPointF(8.7, 12.6));
    leaf.lineTo(8.7, 15);
    leaf.lineTo(7.3, 15);
    leaf.lineTo(7.3, 12.6);
    leaf.cubicTo(QPointF(6.5, 12.5), QPointF(5.2, 12), QPointF(4.2, 10.5));
    leaf.cubicTo(QPointF(2.5, 8.5), QPointF(4.5, 7.5), QPointF(3.2, 5.6));
    leaf.cubicTo(QPointF(5.5, 4.5), QPointF(4.5, 3), QPointF(8, 1.2));
    leaf.closeSubpath();
    return leaf;
}

QPainterPath eagle() {
    // Raised wings with notched feathers, a fanned tail, the head turned aside.
    QPainterPath bird =
        poly({{7, 6.2},    {4.2, 3.6},  {0.6, 1.6},  {1.2, 4.4},  {0.6, 5.8},  {2.4, 6.4},  {2.0, 8.0},  {4.2, 8.4},
              {6.3, 10.2}, {6.4, 12.4}, {4.6, 15},   {11.4, 15},  {9.6, 12.4}, {9.7, 10.2}, {11.8, 8.4}, {14, 8.0},
              {13.6, 6.4}, {15.4, 5.8}, {14.8, 4.4}, {15.4, 1.6}, {11.8, 3.6}, {9, 6.2}});
    return unite({bird, ellipse(8, 4.9, 1.7, 1.7), poly({{6.6, 4.4}, {5.0, 5.3}, {6.8, 5.6}})});
}

QImage rankInsignia(int rank) {
    QImage image = newImage(16, 16, Qt::white);
    QPainter p(&image);
    beginPainter(p);
    const QColor chevronColour = Pal::OliveDark.lighter(115);
    if (rank >= 1 && rank <= 11) {
        // Chevrons up to sergeant, then rockers below; the device between marks the grade.
        const int chevrons = rank <= 2 ? 1 : rank == 3 ? 2 : 3;
        const int rockers = rank <= 4 ? 0 : rank == 5 ? 1 : rank == 6 ? 2 : 3;
        const bool compact = rockers > 0;
        const qreal width = compact ? 1.35 : 1.8, step = compact ? 2.3 : 3.1, drop = compact ? 3.2 : 4.0;
        const qreal top = compact ? 1.0 : chevrons == 1 ? 3.6 : chevrons == 2 ? 2.2 : 1.0;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(chevronColour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        for (int i = 0; i < chevrons; ++i)
            p.drawPath(chevron(top + i * step, 6.6, drop));
        const qreal lowestEnd = top + (chevrons - 1) * step + drop;
        p.setPen(QPen(chevronColour, 1.35, Qt::SolidLine, Qt::FlatCap));
        for (int i = 0; i < rockers; ++i)
            p.drawPath(rocker(lowestEnd + i * 2.3));
        const QPointF device(8, top + (chevrons - 1) * step + width / 2 + (compact ? 2.4 : 3.6));
        if (rank >= 2 && rank <= 7) {
            // Crossed rifles, reduced to a cross.
            const qreal s = compact ? 1.5 : 1.9;
            line(p, device + QPointF(-s, -s), device + QPointF(s, s), Pal::AmberDark, 1.2);
            line(p, device + QPointF(-s, s), device + QPointF(s, -s), Pal::AmberDark, 1.2);
        } else if (rank == 8) {
            insigniaFill(p,
                         poly({device + QPointF(0, -2.2), device + QPointF(1.8, 0), device + QPointF(0, 2.2),
                               device + QPointF(-1.8, 0)}),
                         Pal::AmberLight, Pal::AmberDark);
        } else if (rank == 9) {
            insigniaFill(p, ellipse(device.x(), device.y() + 0.5, 1.7, 1.7), Pal::AmberLight, Pal::AmberDark);
            line(p, device + QPointF(0, -1.0), device + QPointF(0, -2.4), Pal::AmberDark, 1.0);
        } else if (rank >= 10) {
            insigniaFill(p, star(device, 2.6), Pal::AmberLight, Pal::AmberDark);
            if (rank == 11) {
                insigniaFill(p, star(device + QPointF(-4.4, -1.2), 1.7), Pal::AmberLight, Pal::AmberDark);
                insigniaFill(p, star(device + QPointF(4.4, -1.2), 1.7), Pal::AmberLight, Pal::AmberDark);
            }
        }
    } else if (rank == 12 || rank == 13) {
        const QColor light = rank == 12 ? Pal::AmberLight : Pal::SteelLight;
        const QColor dark = rank == 12 ? Pal::AmberDark : Pal::SteelDark;
        insigniaFill(p, rect(5.5, 1.5, 5, 13, 1), light, dark);
    } else if (rank == 14) {
        insigniaFill(p, rect(2.8, 1.5, 4, 13, 1), Pal::SteelLight, Pal::SteelDark);
        insigniaFill(p, rect(9.2, 1.5, 4, 13, 1), Pal::SteelLight, Pal::SteelDark);
        p.setPen(QPen(Pal::SteelDark, 0.9));
        p.drawLine(QPointF(6.8, 4), QPointF(9.2, 4));
        p.drawLine(QPointF(6.8, 12), QPointF(9.2, 12));
    } else if (rank == 15 || rank == 16) {
        insigniaFill(p, oakLeaf(), rank == 15 ? Pal::AmberLight : Pal::SteelLight,
                     rank == 15 ? Pal::AmberDark : Pal::SteelDark);
        p.setPen(QPen(withAlpha(Pal::Outline, 150), 0.6));
        p.drawLine(QPointF(8, 3), QPointF(8, 12));
    } else if (rank == 17) {
        insigniaFill(p, eagle(), Pal::SteelLight, Pal::SteelDark);
    } else if (rank >= 18 && rank <= 21) {
        const int stars = rank - 17;
        QList<QPointF> centres;
        qreal size = 6.8;
        if (stars == 1) {
            centres = {{8, 8.4}};
        } else if (stars == 2) {
            centres = {{4.3, 8.4}, {11.7, 8.4}};
            size = 3.9;
        } else if (stars == 3) {
            centres = {{8, 4.4}, {4.2, 11.2}, {11.8, 11.2}};
            size = 3.7;
        } else {
            centres = {{4.3, 4.4}, {11.7, 4.4}, {4.3, 11.8}, {11.7, 11.8}};
            size = 3.5;
        }
        for (const QPointF& c : centres)
            insigniaFill(p, star(c, size), Pal::SteelLight, Pal::SteelDark);
    } else {
        return QImage();
    }
    return image;
}

// ----- menu pictures, 16 by 16 -----

// copy: two sheets, the front one with lines of text
QImage copyPicture() {
    QImage image = newImage(16, 16);
    QPainter p(&image);
    beginPainter(p);
    solid(p, rect(1.5, 1.5, 9, 11, 0.8), Pal::SteelDark, Pal::Slate, 0.8);
    solid(p, rect(5.5, 4.5, 9, 11, 0.8), Pal::SteelLight, Pal::SteelDark, 0.9);
    p.setPen(QPen(Pal::Amber, 1.0));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(7.5, 8 + 2.5 * i), QPointF(12.5, 8 + 2.5 * i));
    return image;
}

QImage menuPicture(int index) {
    QImage image = newImage(16, 16);
    QPainter p(&image);
    beginPainter(p);
    switch (index) {
    case 0: { // exit: a door and an arrow leaving it
        solid(p, rect(1.5, 1.5, 9, 13, 0.8), Pal::SteelLight, Pal::SteelDark, 1);
        solid(p, rect(3.5, 3.5, 5, 11), Pal::SlateDeep, Pal::Slate, 0.6);
        QPainterPath arrow = poly({{5, 6.8}, {10.5, 6.8}, {10.5, 4}, {15, 8}, {10.5, 12}, {10.5, 9.2}, {5, 9.2}});
        amber(p, arrow);
        break;
    }
    case 1: { // options: a gear
        QPainterPath gear;
        for (int i = 0; i < 8; ++i)
            gear.addPath(rotated(rect(6.8, 0.8, 2.4, 4, 0.6), i * 45, {8, 8}));
        gear = unite({gear, ellipse(8, 8, 5.2, 5.2)}).subtracted(ellipse(8, 8, 2.2, 2.2));
        solid(p, gear, Pal::SteelLight, Pal::SteelDark, 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Amber);
        p.drawEllipse(QPointF(8, 8), 1.3, 1.3);
        break;
    }
    case 2: { // donate: a coin
        solid(p, ellipse(8, 8, 6.8, 6.8), Pal::AmberLight, Pal::AmberDark, 1);
        p.setPen(QPen(withAlpha(Pal::AmberDark, 220), 0.9));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 4.9, 4.9);
        insigniaFill(p, star({8, 8.3}, 3.3), Pal::AmberLight.lighter(110), Pal::AmberDark);
        break;
    }
    case 3: { // update: two arrows chasing each other round
        p.setBrush(Qt::NoBrush);
        for (int half = 0; half < 2; ++half) {
            QPainterPath arc;
            const qreal start = half == 0 ? 30 : 210;
            arc.arcMoveTo(QRectF(2.5, 2.5, 11, 11), start);
            arc.arcTo(QRectF(2.5, 2.5, 11, 11), start, 130);
            p.setPen(QPen(Pal::Outline, 3.2, Qt::SolidLine, Qt::FlatCap));
            p.drawPath(arc);
            p.setPen(QPen(half == 0 ? Pal::Amber : Pal::SteelLight, 1.9, Qt::SolidLine, Qt::FlatCap));
            p.drawPath(arc);
            const QPointF tip = arc.currentPosition();
            const qreal a = (start + 130) * M_PI / 180;
            const QPointF tangent(-std::sin(a), -std::cos(a));
            const QPointF normal(std::cos(a), -std::sin(a));
            QPainterPath head = poly({tip + tangent * 3.2, tip + normal * 2.6, tip - normal * 2.6});
            solid(p, head, half == 0 ? Pal::AmberLight : Pal::SteelLight, half == 0 ? Pal::AmberDark : Pal::Steel, 0.8);
        }
        break;
    }
    case 4: { // about: an "i" on a round plate
        solid(p, ellipse(8, 8, 6.8, 6.8), Pal::SlateLight, Pal::SlateDeep, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(Pal::Amber);
        p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
        p.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 5.8), 0.6, 0.6);
        break;
    }
    default:
        return QImage();
    }
    return image;
}

// ----- the program's emblem: an amber ring with three rising bars -----

void emblem(QPainter& p, qreal size) {
    p.save();
    p.scale(size / 100, size / 100);
    QPainterPath shield(QPointF(50, 4));
    shield.lineTo(92, 16);
    shield.lineTo(90, 56);
    shield.cubicTo(QPointF(86, 78), QPointF(66, 90), QPointF(50, 97));
    shield.cubicTo(QPointF(34, 90), QPointF(14, 78), QPointF(10, 56));
    shield.lineTo(8, 16);
    shield.closeSubpath();
    solid(p, shield, Pal::SlateLight, Pal::SlateDeep, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Pal::Olive, 3.5));
    p.drawPath(QTransform::fromTranslate(50, 50).scale(0.88, 0.88).translate(-50, -50).map(shield));
    p.setPen(QPen(Pal::Outline, 11));
    p.drawEllipse(QPointF(50, 48), 27, 27);
    QConicalGradient ring(50, 48, 90);
    ring.setColorAt(0, Pal::AmberLight);
    ring.setColorAt(0.5, Pal::AmberDark);
    ring.setColorAt(1, Pal::AmberLight);
    p.setPen(QPen(QBrush(ring), 7));
    p.drawEllipse(QPointF(50, 48), 27, 27);
    const qreal heights[] = {14, 22, 31};
    for (int i = 0; i < 3; ++i)
        solid(p, rect(36 + i * 10, 62 - heights[i], 7, heights[i], 1), Pal::SteelLight, Pal::Steel, 1.6);
    p.restore();
}

QImage emblemPicture(int size) {
    QImage image = newImage(size, size);
    QPainter p(&image);
    beginPainter(p);
    emblem(p, size);
    return image;
}

// ----- the hidden thank-you card of the Overview page, 313 by 433 -----

QImage easterCard() {
    QImage card = newImage(313, 433, QColor(0x1b, 0x20, 0x24));
    QPainter p(&card);
    beginPainter(p);
    QLinearGradient sky(0, 0, 0, 433);
    sky.setColorAt(0, QColor(0x2f, 0x3a, 0x22));
    sky.setColorAt(1, QColor(0x12, 0x15, 0x18));
    p.fillRect(card.rect().adjusted(6, 6, -6, -6), sky);
    p.setPen(QPen(QColor(0xe0, 0xa8, 0x3c), 3));
    p.drawRect(card.rect().adjusted(6, 6, -7, -7));
    p.setFont(artFont(34));
    p.drawText(QRect(0, 120, 313, 60), Qt::AlignCenter, QStringLiteral("Orvane"));
    p.setFont(artFont(15, false));
    p.setPen(QColor(0xe4, 0xe6, 0xe8));
    p.drawText(QRect(20, 190, 273, 120), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Thanks for playing.\nSee you on the battlefield."));
    return card;
}

// ----- the header banner, 1009 by 38 -----

QImage banner() {
    const int w = 1009, h = 38;
    QImage image = newImage(w, h, Pal::SlateDark);
    QPainter p(&image);
    beginPainter(p);

    QLinearGradient steel(0, 0, 0, h);
    steel.setColorAt(0, QColor(0x3a, 0x43, 0x4a));
    steel.setColorAt(0.45, QColor(0x25, 0x2c, 0x32));
    steel.setColorAt(1, QColor(0x15, 0x19, 0x1d));
    p.fillRect(0, 0, w, h, steel);

    // Brushed metal: faint horizontal streaks of deterministic noise.
    for (int y = 1; y < h - 1; ++y)
        for (int x = 0; x < w; x += 3) {
            const int n = noise(x / 7, y, 5);
            if (n > 200)
                p.fillRect(QRectF(x, y, 3 + n % 9, 1), withAlpha(Pal::SteelLight, (n - 200) / 4));
            else if (n < 40)
                p.fillRect(QRectF(x, y, 3 + n % 7, 1), withAlpha(Pal::SlateDeep, (40 - n) * 2));
        }

    // The olive plate at the left, cut off at an angle, carries the name.
    const QPainterPath plate = poly({{0, 0}, {146, 0}, {128, h}, {0, h}});
    QLinearGradient oliveGrad(0, 0, 0, h);
    oliveGrad.setColorAt(0, QColor(0x6a, 0x74, 0x3e));
    oliveGrad.setColorAt(0.5, Pal::Olive.darker(115));
    oliveGrad.setColorAt(1, Pal::OliveDark.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(oliveGrad);
    p.drawPath(plate);
    p.setPen(QPen(Pal::Amber, 2));
    p.drawLine(QPointF(147, 0), QPointF(129, h));
    p.setPen(QPen(withAlpha(Pal::Outline, 200), 2));
    p.drawLine(QPointF(151, 0), QPointF(133, h));

    // Hazard stripes fading out to the right of the plate, ending before the name line.
    for (int i = 0; i < 2; ++i) {
        const qreal x = 140 + i * 10;
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(Pal::Amber, 60 - i * 25));
        p.drawPolygon(QPolygonF({QPointF(x + 18, 0), QPointF(x + 23, 0), QPointF(x + 5, h), QPointF(x, h)}));
    }

    p.save();
    p.translate(5, 3);
    emblem(p, 32);
    p.restore();
    const QPainterPath name = textPath(QStringLiteral("Orvane"), artFont(22), {0, 0});
    const QRectF nameBox = name.boundingRect();
    const QPainterPath placed = name.translated(QPointF(41, 19) - QPointF(nameBox.left(), nameBox.center().y()));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Pal::Outline, 200));
    p.drawPath(placed.translated(1.2, 1.5));
    QLinearGradient letters(0, 8, 0, 30);
    letters.setColorAt(0, Pal::AmberLight);
    letters.setColorAt(1, Pal::Amber.darker(110));
    p.setBrush(letters);
    p.drawPath(placed);

    // Rivets along the top and bottom rims; top highlight, bottom shadow, a thin amber line below.
    for (int x = 170; x < w; x += 48) {
        for (qreal y : {4.0, h - 4.0}) {
            QRadialGradient rivet(x - 0.6, y - 0.6, 2.2);
            rivet.setColorAt(0, Pal::Steel);
            rivet.setColorAt(1, Pal::SlateDeep);
            p.setBrush(rivet);
            p.drawEllipse(QPointF(x, y), 1.6, 1.6);
        }
    }
    p.fillRect(QRectF(0, 0, w, 1), withAlpha(Pal::SteelLight, 90));
    p.fillRect(QRectF(0, h - 2, w, 1), withAlpha(Pal::AmberDark, 200));
    p.fillRect(QRectF(0, h - 1, w, 1), Pal::Outline);
    return image;
}

// ----- the about box's banner, 484 by 83 -----

QImage aboutBanner() {
    const int w = 484, h = 83;
    QImage image = newImage(w, h, Pal::SlateDark);
    QPainter p(&image);
    beginPainter(p);
    QLinearGradient steel(0, 0, 0, h);
    steel.setColorAt(0, QColor(0x3a, 0x43, 0x4a));
    steel.setColorAt(0.5, QColor(0x25, 0x2c, 0x32));
    steel.setColorAt(1, QColor(0x15, 0x19, 0x1d));
    p.fillRect(0, 0, w, h, steel);
    for (int y = 1; y < h - 1; y += 2)
        for (int x = 0; x < w; x += 4) {
            const int n = noise(x / 5, y, 11);
            if (n > 210)
                p.fillRect(QRectF(x, y, 2 + n % 11, 1), withAlpha(Pal::SteelLight, (n - 200) / 3));
        }
    // The olive plate with the emblem at the left, cut off at an angle.
    const QPainterPath plate = poly({{0, 0}, {118, 0}, {96, h}, {0, h}});
    QLinearGradient olive(0, 0, 0, h);
    olive.setColorAt(0, QColor(0x6a, 0x74, 0x3e));
    olive.setColorAt(1, Pal::OliveDark.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(olive);
    p.drawPath(plate);
    p.save();
    p.translate(18, 10);
    emblem(p, 63);
    p.restore();
    p.setPen(QColor(0xf0, 0xc0, 0x60));
    p.setFont(artFont(34));
    p.drawText(QRect(130, 6, w - 140, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvane"));
    p.setPen(QColor(0xc8, 0xcc, 0xd0));
    p.setFont(artFont(12, false));
    p.drawText(QRect(132, 50, w - 140, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Battlefield 2 statistics at a glance"));
    p.fillRect(QRectF(0, h - 2, w, 1), withAlpha(Pal::AmberDark, 200));
    p.fillRect(QRectF(0, h - 1, w, 1), Pal::Outline);
    return image;
}

// ----- output -----

class Output final {
public:
    explicit Output(const QString& dir) : m_dir(dir) {}

    bool save(const QImage& image, const QString& relative) {
        const QString path = m_dir.filePath(relative);
        if (image.isNull()) {
            std::fprintf(stderr, "artgen: no drawing for %s\n", qPrintable(relative));
            return false;
        }
        if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
            return false;
        }
        m_files << relative;
        return true;
    }

    bool writeQrc() const {
        QFile file(m_dir.filePath(QStringLiteral("art.qrc")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "artgen: cannot write the resource list\n");
            return false;
        }
        QTextStream out(&file);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/art\">\n";
        for (const QString& f : m_files)
            out << "    <file>" << f << "</file>\n";
        out << "</qresource>\n</RCC>\n";
        return out.status() == QTextStream::Ok;
    }

private:
    QDir m_dir;
    QStringList m_files;
};

// ":/art/fav/Im_wea_0.png" gives "fav/Im_wea_0.png".
QString relativeOf(const char* resource) {
    return QString::fromLatin1(resource).mid(6);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane_artgen <output folder>\n");
        return 2;
    }
    Output out(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const FavouriteSet& set : FavouritePictures)
        for (const FavouritePicture& picture : set.pictures)
            ok &= out.save(favourite(set.category, picture.id), relativeOf(picture.resource));
    ok &= out.save(placeholder(), relativeOf(FavouritePlaceholder));
    for (const RankEntry& rank : RankNames)
        if (rank.insignia)
            ok &= out.save(rankInsignia(int(&rank - RankNames.data())), relativeOf(rank.insignia));
    for (int i = 0; i < 5; ++i)
        ok &= out.save(menuPicture(i), QStringLiteral("menu/%1.png").arg(i));
    for (int b = 0; b < Awards::BadgeCount; ++b)
        for (int level = 0; level < Awards::BadgeLevels; ++level)
            ok &= out.save(AwardArt::badge(b, level), Awards::badgePicture(b, level).mid(6));
    for (int m = 0; m < Awards::MedalCount; ++m)
        for (bool earned : {true, false})
            ok &= out.save(AwardArt::medal(m, earned), Awards::medalPicture(m, earned).mid(6));
    for (int r = 0; r < Awards::RibbonCount; ++r)
        for (bool earned : {true, false})
            ok &= out.save(AwardArt::ribbon(r, earned), Awards::ribbonPicture(r, earned).mid(6));
    for (int u = 0; u < Awards::UnlockCount; ++u)
        for (bool unlocked : {true, false})
            ok &= out.save(AwardArt::unlock(u, unlocked), Awards::unlockPicture(u, unlocked).mid(6));
    for (int i = 0; i < 4; ++i)
        ok &= out.save(AwardArt::statusIcon(i), Awards::statusIcon(i).mid(6));
    ok &= out.save(copyPicture(), QStringLiteral("menu/copy.png"));
    ok &= out.save(banner(), QStringLiteral("banner.png"));
    ok &= out.save(easterCard(), QStringLiteral("easter.png"));
    ok &= out.save(emblemPicture(64), QStringLiteral("icon.png"));
    ok &= out.save(emblemPicture(48), QStringLiteral("header48.png"));
    ok &= out.save(aboutBanner(), QStringLiteral("about.png"));
    // The desktop icon in the sizes of the icon theme.
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= out.save(emblemPicture(size), QStringLiteral("hicolor/%1.png").arg(size));
    ok &= out.writeQrc();
    return ok ? 0 : 1;
}
