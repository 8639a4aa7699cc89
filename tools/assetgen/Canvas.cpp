#include "Canvas.h"

#include <QFontDatabase>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace assetgen {

namespace {

// Every soft image is drawn on a canvas of this edge (or larger multiples for big images) and reduced.
constexpr int kMinimumCanvasEdge = 256;
constexpr int kMinimumSupersampling = 4;

const char* const kRegularFontFile = "/usr/share/fonts/truetype/paratype/PTS55F.ttf";
const char* const kBoldFontFile = "/usr/share/fonts/truetype/paratype/PTS75F.ttf";

QString g_fontFamily;

unsigned int hash(int x, int y, unsigned int seed)
{
    unsigned int h = seed * 0x9E3779B1u ^ static_cast<unsigned int>(x) * 0x85EBCA77u ^
                     static_cast<unsigned int>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double lattice(int x, int y, unsigned int seed)
{
    return (hash(x, y, seed) & 0xFFFFFFu) / double(0xFFFFFF);
}

void clearBorder(QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                line[x] = line[x] & 0x00FFFFFFu;
            }
        }
    }
}

} // namespace

QImage renderSoftImage(const QSize& size, const UnitDrawing& drawing)
{
    const int factor =
        std::max(kMinimumSupersampling, (kMinimumCanvasEdge + std::min(size.width(), size.height()) - 1) /
                                            std::min(size.width(), size.height()));
    QImage canvas(size * factor, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        beginUnitPainter(painter, canvas);
        drawing(painter);
    }
    QImage image = canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32);
    clearBorder(image);
    bleedColours(image);
    return image;
}

void beginUnitPainter(QPainter& painter, QImage& image)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(image.width() / 2.0, image.height() / 2.0);
    painter.scale(image.width() / 2.0, image.height() / 2.0);
}

void paintField(QPainter& painter, const ColourField& field)
{
    auto* target = dynamic_cast<QImage*>(painter.device());
    Q_ASSERT(target);
    QImage layer(target->size(), QImage::Format_ARGB32);
    const int w = layer.width();
    const int h = layer.height();
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const double v = (y + 0.5) / h * 2.0 - 1.0;
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5) / w * 2.0 - 1.0;
            line[x] = field(u, v).rgba();
        }
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(0, 0, layer);
    painter.restore();
}

void bleedColours(QImage& image)
{
    // Breadth-first from the visible pixels, so each transparent pixel takes its nearest visible colour.
    const int w = image.width();
    const int h = image.height();
    std::vector<char> done(size_t(w) * h, 0);
    std::deque<std::pair<int, int>> queue;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) > 0) {
                done[size_t(y) * w + x] = 1;
                queue.emplace_back(x, y);
            }
        }
    }
    static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const QRgb colour = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0x00FFFFFFu;
        for (const auto& step : steps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || done[size_t(ny) * w + nx]) {
                continue;
            }
            done[size_t(ny) * w + nx] = 1;
            reinterpret_cast<QRgb*>(image.scanLine(ny))[nx] = colour;
            queue.emplace_back(nx, ny);
        }
    }
}

double valueNoise(double x, double y, unsigned int seed)
{
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    const double sx = fx * fx * (3.0 - 2.0 * fx);
    const double sy = fy * fy * (3.0 - 2.0 * fy);
    const double top = lattice(x0, y0, seed) + (lattice(x0 + 1, y0, seed) - lattice(x0, y0, seed)) * sx;
    const double bottom =
        lattice(x0, y0 + 1, seed) + (lattice(x0 + 1, y0 + 1, seed) - lattice(x0, y0 + 1, seed)) * sx;
    return top + (bottom - top) * sy;
}

double fractalNoise(double x, double y, unsigned int seed)
{
    double sum = 0.0;
    double amplitude = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < 4; ++octave) {
        sum += valueNoise(x, y, seed + octave * 101u) * amplitude;
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return sum / total;
}

double scatter(unsigned int i, unsigned int seed)
{
    return lattice(int(i), int(i * 7u + 3u), seed);
}

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double smoothStep(double edge0, double edge1, double v)
{
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(const QColor& colour, double alpha)
{
    QColor result = colour;
    result.setAlphaF(float(clamp01(alpha)));
    return result;
}

bool loadFonts()
{
    for (const char* file : {kRegularFontFile, kBoldFontFile}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        if (id < 0) {
            qWarning("assetgen: ERROR: cannot load the font %s (package fonts-paratype)", file);
            return false;
        }
        g_fontFamily = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    return true;
}

QFont appFont(double pixelSize, bool bold)
{
    QFont font(g_fontFamily);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace assetgen
