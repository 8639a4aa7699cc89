// PVR reader, with CCZ or gzip packing recognised by its signature as the file-name rule would: any
// bytes must be refused or uploaded without GL reading past the data. Uses a hidden GLFW window when
// a display is there, so the uploads really read the mipmap levels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "HiddenGLWindow.h"
#include "support/zip_support/ZipUtils.h"
#include "textures/ZTTexturePVR.h"

using namespace zanth2d;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    openHiddenGLWindow(16, 16, "pvr fuzzer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    unsigned char* unpacked = nullptr;
    int length = static_cast<int>(size);
    if (size >= 4 && std::memcmp(data, "CCZ!", 4) == 0) {
        length = ZipUtils::ztInflateCCZData(data, size, &unpacked);
    } else if (size >= 2 && data[0] == 0x1f && data[1] == 0x8b) {
        length = ZipUtils::ztInflateGZipData(data, size, &unpacked);
    }
    const unsigned char* pvrData = unpacked ? unpacked : data;
    if (length >= 0) {
        auto* pvr = new ZTTexturePVR();
        pvr->initWithData(pvrData, static_cast<unsigned long>(length));
        pvr->release();
    }
    std::free(unpacked);
    return 0;
}
