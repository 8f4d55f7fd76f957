// Renders the keyboard pictures and the small skins of the layouts from the
// key coordinates file, so that key geometry has one source.
//   draw_keyboard <positions.xml> <output folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <pugixml.hpp>

#include "ui/widgets/coord_button_image.h"

namespace keydeck {
namespace {

enum class Look { kNormal, kHover, kChecked, kPressed };

const QColor kPlate(0x14, 0x17, 0x1c);
const QColor kPlateEdge(0x2a, 0x30, 0x3a);
const QColor kLegend(0xd8, 0xde, 0xe9);
const QColor kAccent(0x22, 0xd3, 0xee);
const QColor kAccentDeep(0x08, 0x91, 0xb2);

QString Legend(const QString& name) {
    static const QHash<QString, QString> legends = {
        {"ShiftLeft", "Shift"},  {"ShiftRight", "Shift"},  {"CtrlLeft", "Ctrl"},
        {"CtrlRight", "Ctrl"},   {"AltLeft", "Alt"},       {"AltRight", "Alt"},
        {"WinLeft", "Win"},      {"WinRight", "Win"},      {"App", "Menu"},
        {"SpaceBar", ""},        {"PrintScreen", "PrtSc"}, {"ScrollLock", "ScrLk"},
        {"PageUp", "PgUp"},      {"PageDown", "PgDn"},     {"Insert", "Ins"},
        {"Delete", "Del"},       {"ArrowUp", "\u2191"},    {"ArrowDown", "\u2193"},
        {"ArrowLeft", "\u2190"}, {"ArrowRight", "\u2192"}, {"NumLock", "Num"},
        {"CapsLock", "Caps"},    {"Backspace", "Back"},    {"Pad Enter", "Enter"},
        {"\u2018", "'"},
    };
    if (const auto it = legends.find(name); it != legends.end()) return *it;
    if (name.startsWith("Pad ")) return name.mid(4);
    return name;
}

QRectF CapRect(const CoordButton& b) {
    return QRectF(b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void DrawPlate(QPainter& p, QSize size) {
    QPainterPath plate;
    plate.addRoundedRect(QRectF(1.5, 1.5, size.width() - 3, size.height() - 3), 14, 14);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, kPlate.lighter(118));
    shade.setColorAt(1, kPlate);
    p.fillPath(plate, shade);
    p.setPen(QPen(kPlateEdge, 2));
    p.drawPath(plate);
}

void DrawCap(QPainter& p, const CoordButton& b, Look look) {
    const QRectF cap = CapRect(b);
    QColor face = ButtonColorToQColor(b.color);
    if (face.alpha() == 0) face = QColor(0x31, 0x37, 0x40);
    face.setAlpha(255);
    QColor legend = kLegend;
    QRectF top = cap.adjusted(2, 2, -2, -4);
    if (look == Look::kChecked) {
        face = kAccentDeep;
        legend = Qt::white;
    } else if (look == Look::kPressed) {
        face = face.darker(140);
        top.translate(0, 1.5);
    }
    QPainterPath body;
    body.addRoundedRect(cap, 6, 6);
    p.fillPath(body, face.darker(150));
    QPainterPath surface;
    surface.addRoundedRect(top, 5, 5);
    QLinearGradient shade(top.topLeft(), top.bottomLeft());
    shade.setColorAt(0, face.lighter(125));
    shade.setColorAt(1, face);
    p.fillPath(surface, shade);
    if (look == Look::kHover || look == Look::kChecked) {
        p.setPen(QPen(kAccent, look == Look::kHover ? 2.0 : 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cap.adjusted(1, 1, -1, -1), 6, 6);
    }
    const QString text = Legend(b.name);
    QFont font("DejaVu Sans");
    const bool word = text.size() > 3;
    const bool narrow = cap.width() < 50;
    font.setPixelSize(!word ? 13 : narrow ? 9 : 10);
    font.setBold(!word);
    p.setFont(font);
    p.setPen(legend);
    // Words sit top-left on wide caps, centred on single-unit ones.
    const bool corner = word && !narrow;
    p.drawText(corner ? top.adjusted(5, 3, -3, -3) : top,
               corner ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignCenter, text);
}

QImage Render(const std::vector<CoordButton>& keys, QSize size, Look look) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawPlate(p, size);
    for (const auto& key : keys) DrawCap(p, key, look);
    return image;
}

// The program's logo: a cap with a glowing ring; `glow` 0..1.
QImage Logo(int size, double glow) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(size * 0.08, size * 0.08, size * 0.84, size * 0.84);
    QColor ring = kAccent;
    ring.setAlphaF(0.35 + 0.65 * glow);
    p.setPen(QPen(ring, std::max(1.5, size * 0.08)));
    p.setBrush(QColor(0x1f, 0x24, 0x2c));
    p.drawRoundedRect(box, size * 0.2, size * 0.2);
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(static_cast<int>(size * 0.5));
    p.setFont(font);
    p.setPen(kLegend);
    p.drawText(box, Qt::AlignCenter, "K");
    return image;
}

// Frames side by side.
QImage Strip(const std::vector<QImage>& frames) {
    const QSize size = frames.front().size();
    QImage strip(size.width() * static_cast<int>(frames.size()), size.height(),
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        p.drawImage(static_cast<int>(i) * size.width(), 0, frames[i]);
    }
    return strip;
}

// A record mark for the macro recorder's box, in the check-box frame order:
// unchecked then checked, each normal, hovered, pressed, disabled.
QImage RecordIcon() {
    std::vector<QImage> frames;
    for (int checked = 0; checked < 2; ++checked) {
        for (int state = 0; state < 4; ++state) {
            QImage frame(16, 16, QImage::Format_ARGB32_Premultiplied);
            frame.fill(Qt::transparent);
            QPainter p(&frame);
            p.setRenderHint(QPainter::Antialiasing);
            QColor dot = checked ? QColor(0xef, 0x44, 0x44) : QColor(0x8b, 0x93, 0xa1);
            if (state == 1) dot = dot.lighter(125);
            if (state == 2) dot = dot.darker(125);
            if (state == 3) dot.setAlpha(90);
            p.setPen(Qt::NoPen);
            p.setBrush(dot);
            p.drawEllipse(QRectF(3, 3, 10, 10));
            frames.push_back(frame);
        }
    }
    return Strip(frames);
}

bool Save(const QImage& image, const QDir& dir, const char* name) {
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

int Run(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <positions.xml> <output folder>\n", argv[0]);
        return 2;
    }
    const std::vector<CoordButton> keys = ReadCoordButtons(argv[1]);
    pugi::xml_document doc;
    doc.load_file(argv[1]);
    const auto positions = doc.child("positions");
    const QSize size(positions.attribute("width").as_int(), positions.attribute("height").as_int());
    if (keys.empty() || size.isEmpty()) {
        std::fprintf(stderr, "%s holds no keys or no size\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    bool ok = Save(Render(keys, size, Look::kNormal), out, "keyboard_normal.png") &&
              Save(Render(keys, size, Look::kHover), out, "keyboard_floating.png") &&
              Save(Render(keys, size, Look::kChecked), out, "keyboard_checked.png") &&
              Save(Render(keys, size, Look::kPressed), out, "keyboard_pressed.png") &&
              Save(Logo(64, 1.0), out, "logo.png") && Save(RecordIcon(), out, "record_icon.png");
    std::vector<QImage> glow;
    for (int i = 0; i < 8; ++i) glow.push_back(Logo(32, i < 4 ? i / 3.0 : (7 - i) / 3.0));
    ok = ok && Save(Strip(glow), out, "logo_glow.png");
    std::printf("%zu keys, %dx%d\n", keys.size(), size.width(), size.height());
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace keydeck

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return keydeck::Run(argc, argv);
}
