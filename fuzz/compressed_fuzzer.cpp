// CCZ, gzip, zlib and base64 decoders: any bytes must give their failure value or a buffer of the
// length they report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "support/base64.h"
#include "support/zip_support/ZipUtils.h"

using namespace zanth2d;

namespace {

// Reads every byte the decoder claims to have produced.
void touch(const unsigned char* out, long length)
{
    volatile unsigned char sum = 0;
    for (long i = 0; i < length; ++i) {
        sum = static_cast<unsigned char>(sum + out[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    unsigned char* out = nullptr;
    int length = ZipUtils::ztInflateCCZData(data, size, &out);
    if (length >= 0) {
        touch(out, length);
    }
    std::free(out);

    length = ZipUtils::ztInflateGZipData(data, size, &out);
    if (length >= 0) {
        touch(out, length);
    }
    std::free(out);

    length = ZipUtils::ztInflateMemory(data, static_cast<unsigned int>(size), &out);
    touch(out, out ? length : 0);
    delete[] out;

    length = base64Decode(data, static_cast<unsigned int>(size), &out);
    touch(out, out ? length : 0);
    delete[] out;
    return 0;
}
