// Draws the images the application ships, at build time: zanth_assetgen OUTPUT_FOLDER PATH... writes
// each named file below OUTPUT_FOLDER; zanth_assetgen --list prints every path it knows, images with
// their size.
#include "Asset.h"
#include "Canvas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

bool writeAsset(const assetgen::Asset& asset, const QString& file)
{
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        qWarning("assetgen: ERROR: cannot create the folder of %s", qPrintable(file));
        return false;
    }
    if (asset.image) {
        const QImage image = asset.image(asset.size);
        if (image.size() != asset.size) {
            qWarning("assetgen: ERROR: %s was drawn at the wrong size", qPrintable(asset.path));
            return false;
        }
        if (!image.save(file, "PNG")) {
            qWarning("assetgen: ERROR: cannot write %s", qPrintable(file));
            return false;
        }
        return true;
    }
    const QByteArray data = asset.data();
    QSaveFile out(file);
    if (data.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(data) != data.size() ||
        !out.commit()) {
        qWarning("assetgen: ERROR: cannot write %s", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    const assetgen::AssetList assets = assetgen::allAssets();

    if (arguments.value(0) == QLatin1String("--list")) {
        for (const assetgen::Asset& asset : assets) {
            if (asset.image) {
                std::printf("%s %dx%d\n", qPrintable(asset.path), asset.size.width(), asset.size.height());
            } else {
                std::printf("%s\n", qPrintable(asset.path));
            }
        }
        return 0;
    }
    if (arguments.size() < 2) {
        qWarning("usage: zanth_assetgen OUTPUT_FOLDER PATH... | zanth_assetgen --list");
        return 2;
    }
    if (!assetgen::loadFonts()) {
        return 1;
    }
    const QDir output(arguments.first());
    for (const QString& path : arguments.mid(1)) {
        const auto asset = std::find_if(assets.begin(), assets.end(),
                                        [&](const assetgen::Asset& a) { return a.path == path; });
        if (asset == assets.end()) {
            qWarning("assetgen: ERROR: no drawing for %s", qPrintable(path));
            return 1;
        }
        if (!writeAsset(*asset, output.filePath(path))) {
            return 1;
        }
    }
    return 0;
}
