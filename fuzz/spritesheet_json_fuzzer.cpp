// The sprite-sheet JSON reader on arbitrary text, and the sheet's texture made as a game makes it: every
// frame of whatever parses is read, the sheet's "meta"."format" decides the pixel format of the image
// named by "meta"."image" (one of a PNG, a JPEG and a PVR file of our own), and every frame is cut from
// that texture; nothing may crash or end the program. Uses a hidden GLFW window when a display is there,
// so that the textures are really made.
#include "ztanimatedspritemanager.h"
#include "ztspritesheetjson.h"

#include "HiddenGLWindow.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace zanth2d;

namespace {

QString g_folder;
bool g_hasGL = false;
// The sheet images a fuzzed "meta"."image" may name; any other name takes the PNG.
const char* const kImages[] = {"sheet.png", "sheet.jpg", "sheet.pvr"};

void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void removeFolder()
{
    QDir(g_folder).removeRecursively();
}

// A 64 x 16 PVR file (version 2, RGBA8888, one level).
QByteArray pvrFile()
{
    QByteArray body;
    const auto field = [&body](quint32 value) { body.append(reinterpret_cast<const char*>(&value), 4); };
    for (quint32 value :
         {52u, 16u, 64u, 0u, 0x8012u, 64u * 16u * 4u, 32u, 0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u})
        field(value);
    body += "PVR!";
    field(1);
    body += QByteArray(64 * 16 * 4, '\x7f');
    return body;
}

QString imagePathFor(const QVariantMap& sheet)
{
    const QString named =
        QFileInfo(ZTSpriteSheetJson::texturePath(QUrl("file:///sheets/fuzz.json"), sheet)).fileName();
    for (const char* image : kImages) {
        if (named == QLatin1String(image))
            return g_folder + '/' + named;
    }
    return g_folder + "/sheet.png";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(dropMessages);
    g_hasGL = openHiddenGLWindow(16, 16, "sprite sheet fuzzer") != nullptr;
    QTemporaryDir folder;
    folder.setAutoRemove(false);
    g_folder = folder.path();
    std::atexit(removeFolder);
    QImage image(64, 16, QImage::Format_ARGB32);
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 16; ++y)
            image.setPixel(x, y, qRgba(x * 4, y * 16, 255 - x * 4, 128 + y * 8));
    }
    if (!image.save(g_folder + "/sheet.png") || !image.save(g_folder + "/sheet.jpg"))
        std::abort();
    QFile pvr(g_folder + "/sheet.pvr");
    if (!pvr.open(QIODevice::WriteOnly) || pvr.write(pvrFile()) != 64 * 16 * 4 + 52)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QVariantMap sheet =
        ZTSpriteSheetJson::parse(QByteArray(reinterpret_cast<const char*>(data), int(size)), "fuzz.json");
    const QStringList names = ZTSpriteSheetJson::frameNames(sheet);
    for (const QString& name : names)
        ZTSpriteSheetJson::frame(sheet, name, "fuzz.png");
    ZTSpriteSheetJson::frame(sheet, "absent", "fuzz.png");
    ZTSpriteSheetJson::pixelFormat(sheet, "fuzz.png");
    if (!g_hasGL)
        return 0;

    // As the animated-sprite manager loads a sheet that no Sprite gives a pixel format.
    const QString path = imagePathFor(sheet);
    if (ZTSpriteBatchNode* batch = ZTAnimatedSpriteManager::loadSheetBatchNode(0, &sheet, path)) {
        for (const QString& name : names)
            ZTAnimatedSpriteManager::frameOnTexture(sheet, name, batch->getTexture(), path);
    }
    if (ZTTexture2D::defaultAlphaPixelFormat() != kZTTexture2DPixelFormat_RGBA8888)
        std::abort();
    // The batch node and the frames go with the pool; the texture is made anew from the next input.
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
    ZTTextureCache::sharedTextureCache()->removeUnusedTextures();
    return 0;
}
