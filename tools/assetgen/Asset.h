#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace assetgen {

// One file the generator writes: an image of a fixed size, or a data file (image is then empty).
struct Asset
{
    // Path below the output folder, as it appears in the resource tree ("qml/particles/point.png").
    QString path;
    // Pixel size of an image; empty for a data file.
    QSize size;
    // Draws the image at size (straight alpha, RGBA).
    std::function<QImage(const QSize& size)> image;
    // The bytes of a data file.
    std::function<QByteArray()> data;
};

using AssetList = std::vector<Asset>;

// Every file the generator knows, family by family. A new family adds its list here.
AssetList allAssets();

} // namespace assetgen
