#include "award_art.h"

#include "awards/award_catalogue.h"

#include <QFont>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace AwardArt {

namespace {

const QColor Outline(0x14, 0x12, 0x10);

struct Metal {
    QColor light, mid, dark;
};
const Metal Gold{QColor(0xff, 0xe8, 0x8a), QColor(0xe0, 0xad, 0x2c), QColor(0x8a, 0x5e, 0x0c)};
const Metal Silver{QColor(0xf4, 0xf6, 0xf8), QColor(0xb4, 0xbc, 0xc4), QColor(0x5e, 0x66, 0x70)};
const Metal Bronze{QColor(0xf2, 0xc0, 0x8a), QColor(0xb8, 0x74, 0x3a), QColor(0x66, 0x38, 0x14)};

// A fixed hash of an id, so that a drawing follows from its award and from nothing else.
quint32 hashOf(const char* text, quint32 seed) {
    quint32 h = 2166136261u ^ seed;
    for (const char* c = text; *c; ++c)
        h = (h ^ quint8(*c)) * 16777619u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

QImage newImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

QFont artFont(qreal pixelSize, bool condensed = false) {
    QFont font(condensed ? QStringLiteral("DejaVu Sans Condensed") : QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QPainterPath textPath(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centre - path.boundingRect().center());
    return path;
}

// Lettering that reads on any field: light fill, dark edge.
void letter(QPainter& p, const QString& text, qreal size, QPointF centre, QColor fill = QColor(0xfb, 0xf6, 0xe8)) {
    const QPainterPath path = textPath(text, artFont(size, text.size() > 2), centre);
    p.setPen(QPen(Outline, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath polygon(const QList<QPointF>& points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath regular(QPointF centre, qreal radius, int corners, qreal turn = -90, qreal inner = 0) {
    QList<QPointF> points;
    const int n = inner > 0 ? corners * 2 : corners;
    for (int i = 0; i < n; ++i) {
        const qreal r = inner > 0 && i % 2 ? inner : radius;
        const qreal a = qDegreesToRadians(turn + 360.0 * i / n);
        points << centre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    return polygon(points);
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void metalFill(QPainter& p, const QPainterPath& path, const Metal& m, qreal outline = 1.6) {
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomRight());
    g.setColorAt(0, m.light);
    g.setColorAt(0.45, m.mid);
    g.setColorAt(1, m.dark);
    p.setPen(QPen(Outline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

void fieldFill(QPainter& p, const QPainterPath& path, QColor colour) {
    const QRectF box = path.boundingRect();
    QRadialGradient g(box.center() - QPointF(box.width() / 5, box.height() / 5), box.width() * 0.8);
    g.setColorAt(0, colour.lighter(140));
    g.setColorAt(1, colour.darker(150));
    p.setPen(QPen(Outline, 1.2));
    p.setBrush(g);
    p.drawPath(path);
}

// ----- badges -----

// The sign of each badge, in catalogue order: what the badge is for, in two or three letters.
constexpr const char* BadgeSigns[Awards::BadgeCount] = {
    "ENG", "SNP", "MED", "SPO", "AST", "AT",  "SUP", "KNF", "PST", "GD", "EOD", "CMD", "REP", "AID", "RES", "AA",
    "ARM", "AVN", "HEL", "TRN", "ENG", "SNP", "MED", "SPO", "AST", "AT", "SUP", "FLS", "HK",  "ZIP", "NV"};

QPainterPath shield(QPointF centre, qreal halfWidth, qreal height) {
    const qreal top = centre.y() - height * 0.45, bottom = centre.y() + height * 0.55;
    QPainterPath path;
    path.moveTo(centre.x() - halfWidth, top);
    path.lineTo(centre.x() + halfWidth, top);
    path.lineTo(centre.x() + halfWidth, centre.y() + height * 0.1);
    path.quadTo(centre.x() + halfWidth, bottom - height * 0.12, centre.x(), bottom);
    path.quadTo(centre.x() - halfWidth, bottom - height * 0.12, centre.x() - halfWidth, centre.y() + height * 0.1);
    path.closeSubpath();
    return path;
}

// Laurel branches curving up both sides of the badge.
void laurel(QPainter& p, QPointF centre, qreal radius, int leaves, QColor colour) {
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < leaves; ++i) {
            const qreal a = qDegreesToRadians(90.0 + side * (35.0 + i * 100.0 / leaves));
            const QPointF at = centre + QPointF(radius * std::cos(a), radius * std::sin(a));
            QPainterPath leaf;
            leaf.addEllipse(QPointF(0, 0), 6.5, 2.8);
            QTransform t;
            t.translate(at.x(), at.y());
            t.rotate(qRadiansToDegrees(a) + 90 + side * 30);
            p.setPen(QPen(Outline, 0.9));
            p.setBrush(colour);
            p.drawPath(t.map(leaf));
        }
    }
}

// Spread wings behind an expert badge.
void wings(QPainter& p, QPointF centre, const Metal& m) {
    for (int side = -1; side <= 1; side += 2) {
        for (int f = 0; f < 4; ++f) {
            const qreal y = centre.y() - 14 + f * 7;
            const qreal reach = 46 - f * 5;
            QList<QPointF> feather = {{centre.x() + side * 16, y - 3},
                                      {centre.x() + side * reach, y - 8 + f * 2},
                                      {centre.x() + side * (reach - 4), y + 3},
                                      {centre.x() + side * 16, y + 5}};
            metalFill(p, polygon(feather), m, 1.0);
        }
    }
}

QColor badgeColour(int badge) {
    return QColor::fromHsv((badge * 67 + 20) % 360, 150, 175);
}

QImage colourBadge(int badge, int level) {
    QImage image = newImage(100, 100);
    QPainter p(&image);
    begin(p);
    // The badges' lines lie 76 pixels apart on the special forces' panel: the drawing keeps within
    // the picture's upper three quarters.
    p.translate(50, 1);
    p.scale(0.76, 0.76);
    p.translate(-50, 0);
    const bool sf = Awards::Badges[std::size_t(badge)].panel == Awards::Panel::SpecialForces;
    const QString sign = QLatin1String(BadgeSigns[badge]);
    const QColor field = badgeColour(badge);
    const QPointF c(50, 52);
    switch (level) {
    case 1: {
        metalFill(p, circle(c, 30), Bronze, 1.8);
        const QPainterPath inner = sf ? regular(c, 24, 6, 0) : circle(c, 23);
        fieldFill(p, inner, field);
        letter(p, sign, sign.size() > 2 ? 15 : 19, c);
        break;
    }
    case 2: {
        laurel(p, QPointF(50, 50), 36, 5, Silver.mid);
        const QPainterPath outer = shield(c, 27, 62);
        metalFill(p, outer, Silver, 1.8);
        const QPainterPath inner = sf ? regular(c, 20, 6, 0) : shield(c, 20, 48);
        fieldFill(p, inner, field);
        letter(p, sign, sign.size() > 2 ? 14 : 18, c + QPointF(0, -2));
        // Two bars of service under the sign.
        for (int i = 0; i < 2; ++i) {
            p.setPen(QPen(Outline, 0.8));
            p.setBrush(Silver.light);
            p.drawRect(QRectF(40, 66 + i * 5, 20, 3));
        }
        break;
    }
    default: {
        wings(p, QPointF(50, 46), Gold);
        laurel(p, QPointF(50, 52), 34, 6, Gold.mid.darker(115));
        const QPainterPath outer = shield(c, 26, 60);
        metalFill(p, outer, Gold, 1.8);
        const QPainterPath inner = sf ? regular(c, 19, 6, 0) : shield(c, 19, 46);
        fieldFill(p, inner, field);
        letter(p, sign, sign.size() > 2 ? 14 : 18, c + QPointF(0, -1));
        metalFill(p, regular(QPointF(50, 13), 10, 5, -90, 4.2), Gold, 1.2);
        break;
    }
    }
    if (sf) {
        // The special forces' tab across the foot.
        const QRectF tab(33, 84, 34, 13);
        p.setPen(QPen(Outline, 1.2));
        p.setBrush(QColor(0x22, 0x26, 0x2a));
        p.drawRoundedRect(tab, 3, 3);
        letter(p, QStringLiteral("SF"), 10, tab.center(), QColor(0xe6, 0x9e, 0x32));
    }
    p.end();
    return image;
}

// ----- ribbons and the medals' drapes -----

const QColor StripeColours[] = {QColor(0xb0, 0x1e, 0x23), QColor(0x1f, 0x3f, 0x8f), QColor(0xf2, 0xf0, 0xe6),
                                QColor(0xe8, 0xb8, 0x22), QColor(0x2f, 0x7a, 0x3a), QColor(0x6b, 0x2d, 0x7c),
                                QColor(0x1c, 0x1c, 0x1c), QColor(0x6a, 0xa8, 0xd8), QColor(0xe0, 0x6a, 0x1c),
                                QColor(0x7a, 0x4a, 0x24), QColor(0x9a, 0x9c, 0x52), QColor(0xc8, 0x4a, 0x80)};
constexpr int StripeColourCount = int(sizeof(StripeColours) / sizeof(StripeColours[0]));

struct Stripe {
    QColor colour;
    qreal width; // share of the whole
};

// A symmetric stripe pattern that follows from the id.
QList<Stripe> stripesOf(const char* id, quint32 seed) {
    quint32 h = hashOf(id, seed);
    auto take = [&h](int n) {
        const int v = int(h % quint32(n));
        h = h / quint32(n) ^ (h * 2654435761u);
        return v;
    };
    const int half = 2 + take(3);
    QList<Stripe> left;
    int previous = -1;
    qreal total = 0;
    for (int i = 0; i < half; ++i) {
        int colour = take(StripeColourCount);
        if (colour == previous)
            colour = (colour + 1 + take(StripeColourCount - 1)) % StripeColourCount;
        previous = colour;
        const qreal width = 1 + take(4);
        left.append({StripeColours[colour], width});
        total += width;
    }
    // The middle stripe is shared by both halves.
    QList<Stripe> all = left;
    for (qsizetype i = left.size() - 2; i >= 0; --i)
        all.append(left[i]);
    qreal sum = 0;
    for (const Stripe& s : all)
        sum += s.width;
    for (Stripe& s : all)
        s.width /= sum;
    Q_UNUSED(total);
    return all;
}

void paintStripes(QPainter& p, const QRectF& area, const QList<Stripe>& stripes) {
    qreal x = area.left();
    p.setPen(Qt::NoPen);
    for (const Stripe& s : stripes) {
        const qreal w = s.width * area.width();
        p.setBrush(s.colour);
        p.drawRect(QRectF(x, area.top(), w + 0.5, area.height()));
        x += w;
    }
}

QImage colourRibbon(int ribbon) {
    QImage image = newImage(95, 95);
    QPainter p(&image);
    begin(p);
    const Awards::Decoration& r = Awards::Ribbons[std::size_t(ribbon)];
    const QRectF bar(4, 32, 87, 30);
    p.save();
    p.setClipRect(bar);
    paintStripes(p, bar, stripesOf(r.id, 0x51b0));
    // A soft sheen across the cloth.
    QLinearGradient sheen(bar.topLeft(), bar.bottomLeft());
    sheen.setColorAt(0, QColor(255, 255, 255, 80));
    sheen.setColorAt(0.45, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 70));
    p.setBrush(sheen);
    p.drawRect(bar);
    p.restore();
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
    if (r.panel == Awards::Panel::SpecialForces) {
        // The special forces' ribbons carry a small metal device.
        const Metal& m = hashOf(r.id, 7) % 2 ? Gold : Silver;
        metalFill(p, regular(bar.center(), 7, 5, -90, 3), m, 1.0);
    }
    p.end();
    return image;
}

// ----- medals -----

QString initialsOf(const char* name) {
    QString out;
    const QStringList words = QString::fromLatin1(name).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& w : words)
        if (w.front().isUpper() && w != QLatin1String("(SF)") && out.size() < 3)
            out += w.front();
    return out;
}

QPainterPath pendant(int shape, QPointF c) {
    switch (shape) {
    case 0:
        return regular(c, 26, 5, -90, 11);
    case 1:
        return circle(c, 23);
    case 2: {
        // A cross with flared arms.
        QPainterPath cross;
        cross.setFillRule(Qt::WindingFill);
        for (int i = 0; i < 4; ++i) {
            QTransform t;
            t.translate(c.x(), c.y());
            t.rotate(90 * i);
            cross.addPath(t.map(polygon({{-5, 0}, {5, 0}, {12, -25}, {-12, -25}})));
        }
        return cross.simplified();
    }
    case 3:
        return regular(c, 25, 6, -90);
    case 4:
        return regular(c, 25, 8, -90 + 22.5);
    case 5:
        return polygon({c + QPointF(0, -27), c + QPointF(21, 0), c + QPointF(0, 27), c + QPointF(-21, 0)});
    default:
        return regular(c, 26, 12, -90, 20);
    }
}

QImage colourMedal(int medal) {
    QImage image = newImage(100, 100);
    QPainter p(&image);
    begin(p);
    const Awards::Decoration& m = Awards::Medals[std::size_t(medal)];
    const Metal& metal = medal % 3 == 0 ? Gold : medal % 3 == 1 ? Silver : Bronze;
    // The drape.
    const QPainterPath drape = polygon({{31, 2}, {69, 2}, {61, 40}, {39, 40}});
    p.save();
    p.setClipPath(drape);
    paintStripes(p, QRectF(31, 2, 38, 38), stripesOf(m.id, 0x3ed));
    p.restore();
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPath(drape);
    // The ring and the pendant.
    p.setPen(QPen(metal.dark, 2.4));
    p.drawEllipse(QPointF(50, 43), 4, 4);
    const QPointF c(50, 71);
    metalFill(p, pendant(medal % 7, c), metal, 1.7);
    fieldFill(p, circle(c, 11.5), QColor::fromHsv((medal * 53 + 200) % 360, 120, 150));
    const QString initials = initialsOf(m.name);
    letter(p, initials, initials.size() > 2 ? 8.5 : 10.5, c);
    p.end();
    return image;
}

// ----- unlocks: weapons from the side, muzzle to the left -----

enum class Stock { Fixed, Folding, Bullpup, Wire };
enum class Magazine { Straight, Curved, Drum, Belt, Cylinder, Grip };
enum class Sight { Iron, Handle, Scope, LongScope, Rail };

struct Gun {
    qreal muzzle;   // x of the muzzle
    qreal bodyLeft; // receiver
    qreal bodyRight;
    qreal barrelThick;
    Stock stock;
    Magazine magazine;
    Sight sight;
    bool bipod;
    bool pump;
    QColor furniture;
};

const QColor Polymer(0x2a, 0x2c, 0x2e);
const QColor OliveDrab(0x5a, 0x63, 0x34);
const QColor Tan(0xa8, 0x8a, 0x5c);
const QColor Steel(0x70, 0x78, 0x80);

// In catalogue order.
const Gun Guns[Awards::UnlockCount] = {
    {28, 84, 124, 5, Stock::Folding, Magazine::Drum, Sight::Iron, false, false, Polymer},          // DAO-12
    {6, 78, 132, 3.5, Stock::Fixed, Magazine::Straight, Sight::Iron, false, false, OliveDrab},     // G3
    {24, 70, 170, 5, Stock::Bullpup, Magazine::Cylinder, Sight::Iron, false, true, Polymer},       // Jackhammer
    {22, 64, 176, 3.5, Stock::Bullpup, Magazine::Curved, Sight::Scope, false, false, Polymer},     // SA-80
    {30, 70, 128, 3.5, Stock::Folding, Magazine::Curved, Sight::Handle, false, false, Polymer},    // G36C
    {4, 70, 136, 4, Stock::Wire, Magazine::Belt, Sight::Iron, true, false, Tan},                   // PKM
    {2, 84, 136, 4.5, Stock::Fixed, Magazine::Straight, Sight::LongScope, true, false, OliveDrab}, // M95
    {30, 54, 172, 3.5, Stock::Bullpup, Magazine::Grip, Sight::Scope, false, false, Tan},           // F2000
    {52, 86, 130, 3, Stock::Wire, Magazine::Grip, Sight::Rail, false, false, Polymer},             // MP7
    {18, 76, 134, 3.5, Stock::Wire, Magazine::Curved, Sight::Handle, false, false, OliveDrab},     // G36E
    {18, 76, 134, 3.5, Stock::Folding, Magazine::Straight, Sight::Rail, false, false, Tan},        // SCAR-L
    {8, 74, 134, 4, Stock::Fixed, Magazine::Drum, Sight::Handle, true, false, Polymer},            // MG-36
};

void part(QPainter& p, const QPainterPath& path, QColor colour) {
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, colour.lighter(160));
    g.setColorAt(1, colour.darker(130));
    p.setPen(QPen(Outline, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
}

QPainterPath box(qreal x, qreal y, qreal w, qreal h, qreal r = 1.5) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QImage colourUnlock(int unlock) {
    QImage image = newImage(194, 51);
    QPainter p(&image);
    begin(p);
    // The lines of unlocks lie 48 pixels apart: a margin keeps neighbours apart.
    p.translate(97, 25);
    p.scale(0.9, 0.9);
    p.translate(-97, -25);
    const Gun& g = Guns[unlock];
    const qreal axis = 22; // the bore line
    const qreal right = g.stock == Stock::Bullpup ? g.bodyRight : 188;

    // Bipod legs behind the barrel.
    if (g.bipod) {
        p.setPen(QPen(Steel.darker(140), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(g.muzzle + 30, axis + 2), QPointF(g.muzzle + 22, 47));
        p.drawLine(QPointF(g.muzzle + 32, axis + 2), QPointF(g.muzzle + 38, 47));
    }
    // Barrel and handguard.
    part(p, box(g.muzzle, axis - g.barrelThick / 2, g.bodyLeft - g.muzzle + 4, g.barrelThick, 1), Steel);
    part(p, box(g.muzzle - 1, axis - g.barrelThick / 2 - 1.5, 7, g.barrelThick + 3, 1), Steel.darker(120));
    const qreal guardLeft = g.pump ? g.muzzle + 14 : qMax(g.muzzle + 10, g.bodyLeft - 34);
    part(p, box(guardLeft, axis - 6, g.bodyLeft - guardLeft + 2, 12, 3), g.pump ? Steel : g.furniture);
    if (!g.pump)
        for (qreal x = guardLeft + 4; x < g.bodyLeft - 2; x += 5) {
            p.setPen(QPen(QColor(0, 0, 0, 90), 1));
            p.drawLine(QPointF(x, axis - 3), QPointF(x, axis + 3));
        }

    // Receiver.
    part(p, box(g.bodyLeft, axis - 8, g.bodyRight - g.bodyLeft, 17, 2.5),
         g.stock == Stock::Bullpup ? g.furniture : Polymer);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(g.bodyLeft + 3, axis - 6), QPointF(g.bodyRight - 3, axis - 6));

    // Pistol grip and trigger guard.
    const qreal gripX = g.stock == Stock::Bullpup ? g.bodyLeft + (g.bodyRight - g.bodyLeft) * 0.35 : g.bodyRight - 14;
    part(p, polygon({{gripX, axis + 8}, {gripX + 9, axis + 8}, {gripX + 4, 48}, {gripX - 5, 47}}), g.furniture);
    p.setPen(QPen(Outline, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(gripX - 13, axis + 4, 12, 10), 180 * 16, 180 * 16);

    // Magazine.
    const qreal magX = g.stock == Stock::Bullpup ? gripX + 16 : g.bodyLeft + 10;
    switch (g.magazine) {
    case Magazine::Straight:
        part(p, polygon({{magX, axis + 8}, {magX + 10, axis + 8}, {magX + 11, 48}, {magX + 1, 48}}), Polymer);
        break;
    case Magazine::Curved: {
        QPainterPath mag;
        mag.moveTo(magX, axis + 8);
        mag.lineTo(magX + 10, axis + 8);
        mag.quadTo(magX + 11, 38, magX + 18, 47);
        mag.lineTo(magX + 8, 49);
        mag.quadTo(magX + 1, 40, magX, axis + 8);
        part(p, mag, g.stock == Stock::Bullpup ? Polymer : g.furniture.lighter(110));
        break;
    }
    case Magazine::Drum:
        part(p, circle(QPointF(magX + 8, axis + 16), 12), Polymer.lighter(130));
        part(p, circle(QPointF(magX + 8, axis + 16), 4), Steel);
        break;
    case Magazine::Belt:
        part(p, box(magX - 2, axis + 8, 22, 17, 2), OliveDrab);
        p.setPen(QPen(QColor(0xd8, 0xa8, 0x40), 2));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(magX + 2 + i * 4, axis + 2), QPointF(magX + 1 + i * 4, axis + 8));
        break;
    case Magazine::Cylinder:
        part(p, box(magX - 6, axis - 10, 26, 22, 9), Polymer.lighter(140));
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(QColor(0, 0, 0, 110), 1));
            p.drawLine(QPointF(magX - 2 + i * 7, axis - 7), QPointF(magX - 2 + i * 7, axis + 9));
        }
        break;
    case Magazine::Grip:
        part(p, box(gripX - 1, 44, 9, 6, 1), Polymer.lighter(150));
        break;
    }

    // Stock.
    switch (g.stock) {
    case Stock::Fixed:
        part(p,
             polygon({{g.bodyRight - 2, axis - 6},
                      {right, axis - 4},
                      {right, axis + 18},
                      {right - 6, axis + 19},
                      {g.bodyRight - 2, axis + 7}}),
             g.furniture);
        break;
    case Stock::Folding:
        part(p, box(g.bodyRight - 2, axis - 4, 30, 5, 1.5), Polymer.lighter(120));
        part(p, box(g.bodyRight + 24, axis - 6, 8, 22, 2), Polymer.lighter(120));
        part(p, box(g.bodyRight - 2, axis + 9, 28, 4, 1.5), Polymer.lighter(120));
        break;
    case Stock::Wire: {
        p.setPen(QPen(Steel.darker(110), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const qreal end = qMin(188.0, g.bodyRight + 46);
        p.drawPolyline(QPolygonF({QPointF(g.bodyRight - 2, axis - 4), QPointF(end, axis - 2), QPointF(end, axis + 14),
                                  QPointF(g.bodyRight - 2, axis + 8)}));
        break;
    }
    case Stock::Bullpup:
        part(p, box(g.bodyRight - 10, axis - 8, 10, 22, 3), Polymer);
        break;
    }

    // Sights.
    switch (g.sight) {
    case Sight::Iron:
        part(p, box(g.muzzle + 8, axis - 7, 3, 4, 0.5), Steel);
        part(p, box(g.bodyRight - 14, axis - 12, 6, 4, 0.5), Steel);
        break;
    case Sight::Handle:
        part(p,
             polygon({{g.bodyLeft + 6, axis - 8},
                      {g.bodyLeft + 10, axis - 17},
                      {g.bodyRight - 12, axis - 17},
                      {g.bodyRight - 8, axis - 8},
                      {g.bodyRight - 14, axis - 8},
                      {g.bodyRight - 16, axis - 13},
                      {g.bodyLeft + 14, axis - 13},
                      {g.bodyLeft + 12, axis - 8}}),
             Polymer.lighter(130));
        break;
    case Sight::Scope:
    case Sight::LongScope: {
        const qreal len = g.sight == Sight::LongScope ? 62 : 34;
        const qreal x = g.bodyLeft + (g.bodyRight - g.bodyLeft - len) / 2;
        part(p, box(x + len / 2 - 4, axis - 12, 8, 5, 1), Steel.darker(120));
        part(p, box(x, axis - 19, len, 8, 4), Polymer.lighter(110));
        part(p, box(x - 3, axis - 21, 8, 12, 3), Polymer.lighter(110));
        part(p, box(x + len - 5, axis - 20, 8, 10, 3), Polymer.lighter(110));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6a, 0xa8, 0xd8));
        p.drawEllipse(QPointF(x - 2, axis - 15), 1.6, 3.5);
        break;
    }
    case Sight::Rail:
        part(p, box(g.bodyLeft - 20, axis - 11, g.bodyRight - g.bodyLeft + 16, 3, 0.5), Steel.darker(130));
        for (qreal x = g.bodyLeft - 18; x < g.bodyRight - 6; x += 4) {
            p.setPen(QPen(QColor(0, 0, 0, 120), 1));
            p.drawLine(QPointF(x, axis - 11), QPointF(x, axis - 8));
        }
        part(p, box(g.bodyLeft + 12, axis - 19, 16, 8, 3), Polymer.lighter(120));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd8, 0x30, 0x30));
        p.drawEllipse(QPointF(g.bodyLeft + 14, axis - 15), 1.5, 1.5);
        break;
    }
    if (g.pump) {
        part(p, box(g.muzzle + 2, axis + 3, g.bodyLeft - g.muzzle - 6, 4, 1.5), Steel.darker(120));
    }
    p.end();
    return image;
}

} // namespace

QImage greyed(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            // Lifted towards white, so that what is not earned recedes behind what is.
            const int grey = 120 + qGray(px) * 110 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(px));
        }
    }
    return image;
}

QImage badge(int badge, int level) {
    return level == 0 ? greyed(colourBadge(badge, 1)) : colourBadge(badge, level);
}

QImage medal(int medal, bool earned) {
    const QImage colour = colourMedal(medal);
    return earned ? colour : greyed(colour);
}

QImage ribbon(int ribbon, bool earned) {
    const QImage colour = colourRibbon(ribbon);
    return earned ? colour : greyed(colour);
}

QImage unlock(int unlock, bool unlocked) {
    const QImage colour = colourUnlock(unlock);
    return unlocked ? colour : greyed(colour);
}

QImage statusIcon(int index) {
    QImage image = newImage(16, 16);
    QPainter p(&image);
    begin(p);
    switch (index) {
    case 0: // check mark
        p.setPen(QPen(QColor(0x1e, 0x9a, 0x3a), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    case 1: // cross
        p.setPen(QPen(QColor(0xc8, 0x24, 0x24), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case 2: // arrow pointing right
        p.setPen(QPen(Outline, 1));
        p.setBrush(QColor(0xe6, 0x9e, 0x32));
        p.drawPath(polygon({{2, 6}, {8, 6}, {8, 2.5}, {14, 8}, {8, 13.5}, {8, 10}, {2, 10}}));
        break;
    default: // copy symbol
        p.setPen(QPen(QColor(0x45, 0x50, 0x59), 1.2));
        p.setBrush(QColor(0xf4, 0xf6, 0xf8));
        p.drawRect(QRectF(2.5, 2.5, 8, 9));
        p.drawRect(QRectF(5.5, 5.5, 8, 9));
        break;
    }
    p.end();
    return image;
}

} // namespace AwardArt
