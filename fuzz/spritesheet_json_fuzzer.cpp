// The sprite-sheet JSON reader on arbitrary text: every frame of whatever parses is read, and the
// format and texture lookups run, without crashing.

#include "ztspritesheetjson.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {
void dropMessages(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (qInstallMessageHandler(dropMessages), true);
    (void)quiet;
    const QVariantMap sheet =
        ZTSpriteSheetJson::parse(QByteArray(reinterpret_cast<const char*>(data), int(size)), "fuzz.json");
    for (const QString& name : ZTSpriteSheetJson::frameNames(sheet))
        ZTSpriteSheetJson::frame(sheet, name, "fuzz.png");
    ZTSpriteSheetJson::frame(sheet, "absent", "fuzz.png");
    ZTSpriteSheetJson::pixelFormat(sheet, "fuzz.png");
    ZTSpriteSheetJson::texturePath(QUrl("file:///sheets/fuzz.json"), sheet);
    return 0;
}
