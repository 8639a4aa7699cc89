// FNT bitmap-font parser: any bytes must give a configuration or a refusal, never a crash, a read past
// the data or a leak. Uses a hidden GLFW window when a display is there, so the atlas size is checked
// against a real largest texture size.
#include <cstddef>
#include <cstdint>

#include "HiddenGLWindow.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "label_nodes/ZTBMFontConfiguration.h"

using namespace zanth2d;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    openHiddenGLWindow(16, 16, "fnt fuzzer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto* configuration = new ZTBMFontConfiguration();
    if (configuration->initWithFNTData(reinterpret_cast<const char*>(data), size, "fuzz/font.fnt")) {
        // Touch every glyph and the kerning table.
        for (const auto& entry : configuration->getBitmapFontArray()) {
            configuration->kerningAmount(static_cast<unsigned short>(entry.first), 65);
        }
        delete[] configuration->description();
    }
    configuration->release();
    // Resolved atlas paths live in the autorelease pool.
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
    return 0;
}
