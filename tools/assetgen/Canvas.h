#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <functional>

namespace assetgen {

// Draws on a transparent square canvas in unit coordinates: the centre is (0, 0), the edges are at -1
// and 1, y points down. Drawings stay inside the unit disc or square so that the outermost pixel ring
// of the final image is empty.
using UnitDrawing = std::function<void(QPainter& painter)>;

// A colour (with straight alpha) for every point of the unit square; x and y as for UnitDrawing.
using ColourField = std::function<QColor(double x, double y)>;

// An RGBA image of size (straight alpha, QImage::Format_ARGB32) drawn at a high resolution and reduced,
// so that every edge is soft at every size. The outermost pixel ring is cleared and transparent pixels
// take the colour of their visible neighbours, so a filtering renderer shows no dark fringes.
QImage renderSoftImage(const QSize& size, const UnitDrawing& drawing);

// Paints field over the whole canvas of painter's device (which must be a QImage), sampling once per
// pixel in unit coordinates; the result is composed over what is there.
void paintField(QPainter& painter, const ColourField& field);

// A painter with antialiasing and smooth transforms on, mapping the unit square onto the image.
void beginUnitPainter(QPainter& painter, QImage& image);

// Gives every fully transparent pixel the colour of the nearest visible pixel (alpha stays 0).
void bleedColours(QImage& image);

// Smooth 2D value noise in 0..1, the same for the same seed everywhere.
double valueNoise(double x, double y, unsigned int seed);
// Four octaves of value noise, 0..1.
double fractalNoise(double x, double y, unsigned int seed);
// A repeatable pseudo-random number in 0..1 for index i of a series.
double scatter(unsigned int i, unsigned int seed);

double clamp01(double v);
double smoothStep(double edge0, double edge1, double v);
// a + (b - a) * t per channel, alpha included.
QColor mix(const QColor& a, const QColor& b, double t);
// colour with its alpha replaced by alpha (clamped to 0..1).
QColor withAlpha(const QColor& colour, double alpha);

// Registers PT Sans (regular and bold) from the system's font package; false, after one log line, when
// a font file is missing.
bool loadFonts();
// PT Sans at a pixel size (before any painter scaling), bold when asked.
QFont appFont(double pixelSize, bool bold = false);

} // namespace assetgen
