#include "app/ui/toolbar_pictures.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPoint>
#include <QPointF>
#include <QPolygon>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>

namespace talvor {
namespace {

constexpr int kSize = 32;

// The sixteen colours the pictures are drawn in. kClear means "leave the pixel as it is".
constexpr QRgb kClear = 0x00000000;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kDarkRed = 0xff800000;
constexpr QRgb kDarkGreen = 0xff008000;
constexpr QRgb kOlive = 0xff808000;
constexpr QRgb kNavy = 0xff000080;
constexpr QRgb kPurple = 0xff800080;
constexpr QRgb kTeal = 0xff008080;
constexpr QRgb kSilver = 0xffc0c0c0;
constexpr QRgb kGrey = 0xff808080;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kLime = 0xff00ff00;
constexpr QRgb kYellow = 0xffffff00;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kFuchsia = 0xffff00ff;
constexpr QRgb kAqua = 0xff00ffff;
constexpr QRgb kWhite = 0xffffffff;

// ---- Drawing helpers. Everything is aliased so that each pixel gets exactly one colour. ----

void Fill(QPainter& p, int x, int y, int w, int h, QRgb c) {
    if (c != kClear) {
        p.fillRect(x, y, w, h, QColor(c));
    }
}

void Dot(QPainter& p, int x, int y, QRgb c) {
    Fill(p, x, y, 1, 1, c);
}

// A one-pixel border just inside the w x h rectangle at (x, y).
void Frame(QPainter& p, int x, int y, int w, int h, QRgb c) {
    Fill(p, x, y, w, 1, c);
    Fill(p, x, y + h - 1, w, 1, c);
    Fill(p, x, y, 1, h, c);
    Fill(p, x + w - 1, y, 1, h, c);
}

void Polygon(QPainter& p, const QPolygon& polygon, QRgb fill, QRgb edge) {
    p.setPen(edge == kClear ? QPen(Qt::NoPen) : QPen(QColor(edge)));
    p.setBrush(fill == kClear ? QBrush(Qt::NoBrush) : QBrush(QColor(fill)));
    p.drawPolygon(polygon);
}

// A shape tested at pixel centres; coordinates run over the picture's pixel edges (0..32).
using Shape = std::function<bool(double x, double y)>;

Shape Circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

// Paints the pixels inside the shape; those with a 4-neighbour outside it get the edge colour.
// Drawing pixel by pixel keeps small circles round and symmetric, which QPainter's aliased
// ellipses are not.
void PaintShape(QPainter& p, const Shape& shape, QRgb fill, QRgb edge) {
    const auto in = [&](int x, int y) { return shape(x + 0.5, y + 0.5); };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (!in(x, y)) {
                continue;
            }
            const bool border = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            Dot(p, x, y, border ? edge : fill);
        }
    }
}

// A 3 x 5 pixel font holding just the characters the pictures need. Each row is three bits,
// the high bit leftmost.
struct Glyph {
    char letter;
    unsigned char rows[5];
};

constexpr Glyph kGlyphs[] = {
    {'A', {2, 5, 7, 5, 5}}, {'F', {7, 4, 6, 4, 4}}, {'I', {7, 2, 2, 2, 7}}, {'L', {4, 4, 4, 4, 7}},
    {'M', {5, 7, 7, 5, 5}}, {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}},
};

// Writes text with its top-left corner at (x, y), each font pixel a scale x scale block.
void Text(QPainter& p, int x, int y, const char* text, QRgb c, int scale = 1) {
    for (; *text != '\0'; ++text, x += 4 * scale) {
        for (const Glyph& glyph : kGlyphs) {
            if (glyph.letter != *text) {
                continue;
            }
            for (int row = 0; row < 5; ++row) {
                for (int col = 0; col < 3; ++col) {
                    if (glyph.rows[row] & (4 >> col)) {
                        Fill(p, x + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
        }
    }
}

// Draws a small bitmap given as rows of text, '#' marking a pixel, each a scale x scale block.
void Bitmap(QPainter& p, int x, int y, std::initializer_list<const char*> rows, QRgb c,
            int scale = 1) {
    for (const char* row : rows) {
        for (int col = 0; row[col] != '\0'; ++col) {
            if (row[col] == '#') {
                Fill(p, x + col * scale, y, scale, scale, c);
            }
        }
        y += scale;
    }
}

// A small star centred on pixel (x, y): a white core with yellow spikes.
void Star(QPainter& p, int x, int y) {
    Fill(p, x - 3, y, 7, 1, kYellow);
    Fill(p, x, y - 3, 1, 7, kYellow);
    Fill(p, x - 1, y - 1, 3, 3, kWhite);
}

// A 3.5-inch disk with its metal shutter and an empty white label.
void Disk(QPainter& p) {
    Polygon(p, QPolygon({{3, 3}, {26, 3}, {28, 5}, {28, 28}, {3, 28}}), kNavy, kBlack);
    Fill(p, 9, 3, 14, 9, kSilver);
    Fill(p, 17, 5, 3, 5, kNavy);
    Fill(p, 7, 15, 18, 13, kWhite);
}

// A grey-scale wedge rising to the right with a red double arrow beneath it: the palette is
// being stretched over its whole range.
void StretchWedge(QPainter& p) {
    const QPolygon wedge({{3, 23}, {28, 23}, {28, 8}});
    p.setClipRegion(QRegion(wedge));
    Fill(p, 3, 8, 7, 16, kBlack);
    Fill(p, 10, 8, 7, 16, kGrey);
    Fill(p, 17, 8, 6, 16, kSilver);
    Fill(p, 23, 8, 6, 16, kWhite);
    p.setClipping(false);
    Polygon(p, wedge, kClear, kBlack);
    Fill(p, 6, 26, 20, 2, kRed);
    for (int i = 0; i < 4; ++i) {
        Fill(p, 2 + i, 26 - i, 1, 2 + 2 * i, kRed);
        Fill(p, 29 - i, 26 - i, 1, 2 + 2 * i, kRed);
    }
}

// A white plot box (x 3..28, y 3..24 inside the frame) with a transfer curve level = f(input),
// both running over 0..1.
void CurveBox(QPainter& p, double (*f)(double), QRgb c) {
    Fill(p, 2, 2, 28, 24, kWhite);
    Frame(p, 2, 2, 28, 24, kBlack);
    p.setPen(QPen(QColor(c), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    QPoint previous;
    for (int i = 0; i <= 24; ++i) {
        const QPoint point(4 + i, 23 - static_cast<int>(std::lround(f(i / 24.0) * 19)));
        if (i > 0) {
            p.drawLine(previous, point);
        }
        previous = point;
    }
}

// A level marker under the plot box: a small triangle pointing up at column x.
void LevelMarker(QPainter& p, int x, QRgb fill) {
    Polygon(p, QPolygon({{x, 27}, {x - 3, 30}, {x + 3, 30}}), fill, kBlack);
}

// The displayed grey levels under the plot box after the stretch: black up to column grey,
// then grey, silver from column silver and white from column white.
void ShadeBar(QPainter& p, int grey, int silver, int white) {
    Fill(p, 4, 27, 24, 4, kBlack);
    Fill(p, grey, 27, 28 - grey, 4, kGrey);
    Fill(p, silver, 27, 28 - silver, 4, kSilver);
    Fill(p, white, 27, 28 - white, 4, kWhite);
    Frame(p, 3, 26, 26, 6, kBlack);
}

// An image frame at (x, y) with a few stars on a navy sky.
void StarFrame(QPainter& p, int x, int y, QRgb edge) {
    Fill(p, x, y, 18, 18, kNavy);
    Frame(p, x, y, 18, 18, edge);
    Star(p, x + 5, y + 5);
    Dot(p, x + 13, y + 4, kWhite);
    Dot(p, x + 4, y + 13, kWhite);
    Dot(p, x + 12, y + 12, kAqua);
}

// ---- The pictures. ----

void SaveRaw(QPainter& p) {
    Disk(p);
    for (int y = 18; y <= 24; y += 3) {
        Fill(p, 9, y, 14, 1, kGrey);
    }
}

void SaveFits(QPainter& p) {
    Disk(p);
    Text(p, 9, 19, "FITS", kRed);
}

void OpenImage(QPainter& p) {
    Polygon(p, QPolygon({{2, 7}, {10, 7}, {12, 9}, {25, 9}, {25, 27}, {2, 27}}), kOlive, kBlack);
    Polygon(p, QPolygon({{7, 14}, {30, 14}, {25, 27}, {2, 27}}), kYellow, kBlack);
}

void CameraControl(QPainter& p) {
    Fill(p, 5, 4, 9, 4, kGrey);
    Frame(p, 5, 4, 9, 5, kBlack);
    Fill(p, 2, 8, 28, 21, kSilver);
    Frame(p, 2, 8, 28, 21, kBlack);
    Fill(p, 24, 10, 3, 2, kRed);
    PaintShape(p, Circle(16, 18.5, 9.5), kBlack, kBlack);
    PaintShape(p, Circle(16, 18.5, 7.5), kGrey, kSilver);
    // The sensor behind the lens opening, with a glint.
    Fill(p, 13, 16, 6, 5, kTeal);
    Frame(p, 13, 16, 6, 5, kNavy);
    Fill(p, 14, 17, 2, 1, kAqua);
}

void StretchAll(QPainter& p) {
    StretchWedge(p);
    Text(p, 1, 1, "ALL", kNavy, 2);
}

void StretchFocus(QPainter& p) {
    StretchWedge(p);
    PaintShape(p, Circle(9.5, 9.5, 6.5), kClear, kRed);
    Fill(p, 9, 1, 1, 6, kRed);
    Fill(p, 9, 13, 1, 6, kRed);
    Fill(p, 1, 9, 6, 1, kRed);
    Fill(p, 13, 9, 6, 1, kRed);
}

void ProgramDefaults(QPainter& p) {
    constexpr double kCentre = 16;
    const Shape gear = [](double x, double y) {
        const double dx = x - kCentre;
        const double dy = y - kCentre;
        const double r = std::hypot(dx, dy);
        if (r < 4 || r > 14.5) {
            return false;
        }
        if (r <= 10.5) {
            return true;
        }
        for (int k = 0; k < 8; ++k) {
            const double angle = (k + 0.5) * std::numbers::pi / 4;
            const double along = dx * std::cos(angle) + dy * std::sin(angle);
            const double across = -dx * std::sin(angle) + dy * std::cos(angle);
            if (along > 0 && std::abs(across) < 2.8) {
                return true;
            }
        }
        return false;
    };
    PaintShape(p, gear, kSilver, kBlack);
    PaintShape(p, Circle(kCentre, kCentre, 7.5), kClear, kGrey);
}

void Photometry(QPainter& p) {
    Fill(p, 1, 1, 30, 30, kNavy);
    Frame(p, 1, 1, 30, 30, kBlack);
    PaintShape(p, Circle(16, 16, 13.5), kClear, kAqua);
    PaintShape(p, Circle(16, 16, 11), kClear, kAqua);
    PaintShape(p, Circle(16, 16, 7), kClear, kLime);
    Fill(p, 14, 14, 4, 4, kWhite);
    Fill(p, 15, 12, 2, 8, kWhite);
    Fill(p, 12, 15, 8, 2, kWhite);
    Fill(p, 15, 15, 2, 2, kYellow);
}

void NormalStretch(QPainter& p) {
    CurveBox(
        p, [](double t) { return std::clamp((t - 0.25) / 0.5, 0.0, 1.0); }, kBlue);
    LevelMarker(p, 10, kBlack);
    LevelMarker(p, 22, kWhite);
}

void NonLinearStretch(QPainter& p) {
    CurveBox(
        p, [](double t) { return std::asinh(12 * t) / std::asinh(12.0); }, kRed);
    // A faint nebula that the stretch brings out.
    PaintShape(p, Circle(22, 19, 4.5), kPurple, kPurple);
    PaintShape(p, Circle(22, 19, 2.5), kFuchsia, kFuchsia);
    Dot(p, 22, 19, kWhite);
    ShadeBar(p, 8, 12, 19);
}

void PowerStretch(QPainter& p) {
    CurveBox(
        p, [](double t) { return std::pow(t, 2.4); }, kDarkGreen);
    // x to the power n.
    Bitmap(p, 5, 8, {"#...#", ".#.#.", "..#..", ".#.#.", "#...#"}, kNavy, 2);
    Bitmap(p, 16, 4, {"##.", "#.#", "#.#"}, kNavy);
    ShadeBar(p, 16, 21, 25);
}

void RemoveBackground(QPainter& p) {
    // A sky glow fading into black, with a star left on the cleaned part.
    for (int y = 3; y < 29; ++y) {
        for (int x = 2; x < 21; ++x) {
            const bool glow =
                y < 9 || (y < 15 && (x + y) % 2 == 0) || (y < 19 && x % 2 == 0 && y % 2 == 0);
            Dot(p, x, y, glow ? kGrey : kBlack);
        }
    }
    Frame(p, 1, 2, 21, 28, kBlack);
    Star(p, 11, 22);
    Fill(p, 25, 3, 4, 16, kRed);
    for (int i = 0; i < 6; ++i) {
        Fill(p, 22 + i, 19 + i, 10 - 2 * i, 1, kRed);
    }
}

void UnsharpMask(QPainter& p) {
    // A banded planet whose limb has the dark and bright halo of a sharpened edge.
    PaintShape(p, Circle(16, 12, 11.5), kClear, kBlack);
    PaintShape(p, Circle(16, 12, 10.5), kYellow, kWhite);
    const Shape inner = Circle(16, 12, 9.5);
    PaintShape(
        p,
        [&](double x, double y) {
            const int row = static_cast<int>(y);
            return inner(x, y) && (row == 7 || row == 8 || row == 14 || row == 15);
        },
        kOlive, kOlive);
    PaintShape(p, Circle(20.5, 15.5, 1.5), kDarkRed, kDarkRed);
    Text(p, 10, 26, "USM", kNavy);
}

void MedianFilter(QPainter& p) {
    // A 3 x 3 neighbourhood of noisy pixels; the middle one holds the outlier being replaced.
    const QRgb shades[9] = {kSilver, kGrey, kSilver, kWhite, kWhite,
                            kSilver, kGrey, kSilver, kWhite};
    for (int i = 0; i < 9; ++i) {
        Fill(p, 4 + (i % 3) * 8, 4 + (i / 3) * 8, 8, 8, shades[i]);
    }
    for (int k = 0; k < 4; ++k) {
        Fill(p, 4 + k * 8, 4, 1, 25, kBlack);
        Fill(p, 4, 4 + k * 8, 25, 1, kBlack);
    }
    PaintShape(p, Circle(16.5, 16.5, 2.5), kRed, kRed);
}

void SubtractImage(QPainter& p) {
    StarFrame(p, 1, 1, kBlack);
    // The dark frame: black, with a few hot pixels.
    Fill(p, 13, 13, 18, 18, kBlack);
    Frame(p, 13, 13, 18, 18, kGrey);
    Dot(p, 17, 18, kWhite);
    Dot(p, 25, 21, kRed);
    Dot(p, 20, 26, kWhite);
    Fill(p, 21, 4, 10, 3, kRed);
}

void ApplyFlat(QPainter& p) {
    // A flat frame: bright in the middle, darkening towards the corners.
    Fill(p, 2, 2, 28, 28, kGrey);
    PaintShape(p, Circle(16, 16, 14.5), kSilver, kSilver);
    PaintShape(p, Circle(16, 16, 9.5), kWhite, kWhite);
    Frame(p, 2, 2, 28, 28, kBlack);
    Text(p, 9, 11, "FF", kNavy, 2);
}

void MergeImages(QPainter& p) {
    StarFrame(p, 1, 1, kBlack);
    StarFrame(p, 13, 13, kSilver);
    Frame(p, 12, 12, 20, 20, kBlack);
    Fill(p, 21, 4, 10, 3, kDarkGreen);
    Fill(p, 24, 1, 4, 9, kDarkGreen);
}

// A box of half-width w around the segment a-b, e.g. a section of a tube.
QPolygon Box(QPointF a, QPointF b, double w) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF n(-d.y() / length * w, d.x() / length * w);
    return QPolygonF({a + n, b + n, b - n, a - n}).toPolygon();
}

void TelescopeControl(QPainter& p) {
    p.setPen(QPen(QColor(kOlive), 2));
    p.drawLine(16, 17, 8, 30);
    p.drawLine(16, 17, 24, 30);
    p.drawLine(16, 17, 16, 30);
    Fill(p, 14, 14, 5, 4, kBlack);
    const QPointF back(4, 20);
    const QPointF front(28, 7);
    const QPointF step = (front - back) / 24;
    Polygon(p, Box(back, front, 3.5), kWhite, kBlack);
    Polygon(p, Box(front - step * 5, front, 4), kNavy, kBlack);
    Polygon(p, Box(back + step * 3 - QPointF(2, 4), back + step * 3 - QPointF(0, 1), 1.2), kBlack,
            kBlack);
}

void Unknown(QPainter& p) {
    Fill(p, 2, 2, 28, 28, kWhite);
    Frame(p, 2, 2, 28, 28, kBlack);
    Bitmap(p, 9, 6, {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}, kBlack, 3);
}

using DrawFunction = void (*)(QPainter&);

struct PictureEntry {
    int number;
    DrawFunction draw;
};

constexpr PictureEntry kPictures[] = {
    {24333, SaveRaw},   {24336, SaveFits},       {24332, OpenImage},     {1000, CameraControl},
    {1002, StretchAll}, {1003, StretchFocus},    {121, ProgramDefaults}, {1903, Photometry},
    {1, NormalStretch}, {117, NonLinearStretch}, {2, PowerStretch},      {120, RemoveBackground},
    {106, UnsharpMask}, {3, MedianFilter},       {110, SubtractImage},   {115, ApplyFlat},
    {111, MergeImages}, {24, TelescopeControl},
};

}  // namespace

QIcon ToolBarPicture(int number) {
    DrawFunction draw = Unknown;
    for (const PictureEntry& entry : kPictures) {
        if (entry.number == number) {
            draw = entry.draw;
        }
    }
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        draw(painter);
    }
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace talvor
