#pragma once

#include "Asset.h"

#include <QRectF>

class QPainter;

namespace assetgen {

// The Zanth emblem (an ember "Z" in a rounded hexagon) filling square, at any painter scale.
void paintZanthEmblem(QPainter& painter, const QRectF& square);

// The header logos of the about screen (qml/img/): "zanth-logo" (emblem and word mark) and
// "zanth-logo-simple" (the emblem), each with "-sd", "-hd" and "-hd2" sizes.
AssetList logoAssets();

} // namespace assetgen
