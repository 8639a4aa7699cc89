#include "support/zip_support/ZipUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <zlib.h>

#include "ZTMacros.h"
#include "platform/ZTFileData.h"

namespace zanth2d {

namespace {

const unsigned int kMemoryHint = 256 * 1024;
const unsigned int kGZipFirstBuffer = 512 * 1024;
const unsigned long kGZipMinimumLength = 18; // 10-byte header and 8-byte trailer
const unsigned long kCCZHeaderLength = 16;
// Deflate cannot expand one byte into more than about 1032; a header claiming more is a lie.
const unsigned long long kDeflateMaxRatio = 1040;

unsigned int bigEndian16(const unsigned char* p)
{
    return (static_cast<unsigned int>(p[0]) << 8) | p[1];
}

unsigned long bigEndian32(const unsigned char* p)
{
    return (static_cast<unsigned long>(p[0]) << 24) | (static_cast<unsigned long>(p[1]) << 16) |
           (static_cast<unsigned long>(p[2]) << 8) | p[3];
}

int fail(unsigned char** out)
{
    std::free(*out);
    *out = nullptr;
    return -1;
}

// Reads the whole file and hands it to the matching in-memory inflater.
int inflateFile(const char* path, unsigned char** out,
                int (*inflateData)(const unsigned char*, unsigned long, unsigned char**))
{
    ZTAssert(out, "out");
    *out = nullptr;
    ZTFileData data(path, "rb");
    if (!data.getBuffer()) {
        return -1;
    }
    return inflateData(data.getBuffer(), data.getSize(), out);
}

} // namespace

int ZipUtils::ztInflateMemoryWithHint(const unsigned char* in, unsigned int inLength, unsigned char** out,
                                      unsigned int* outLength, unsigned int outLengthHint)
{
    *out = nullptr;
    *outLength = 0;
    unsigned int bufferSize = std::min(std::max(outLengthHint, 1u), kMaxInflatedSize);
    *out = new (std::nothrow) unsigned char[bufferSize];
    if (!*out) {
        return Z_MEM_ERROR;
    }

    z_stream stream;
    std::memset(&stream, 0, sizeof(stream));
    stream.next_in = const_cast<unsigned char*>(in);
    stream.avail_in = in ? inLength : 0;
    stream.next_out = *out;
    stream.avail_out = bufferSize;

    int err = inflateInit2(&stream, 15 + 32);
    if (err != Z_OK) {
        return err;
    }
    for (;;) {
        err = inflate(&stream, Z_NO_FLUSH);
        if (err == Z_STREAM_END) {
            *outLength = static_cast<unsigned int>(stream.total_out);
            return inflateEnd(&stream);
        }
        if (err == Z_NEED_DICT) {
            err = Z_DATA_ERROR;
        }
        if (err != Z_OK) {
            break;
        }
        if (stream.avail_out > 0) {
            continue; // input used up without the end of the stream: the next call reports it
        }
        if (bufferSize >= kMaxInflatedSize) {
            err = Z_MEM_ERROR;
            break;
        }
        unsigned int grown = bufferSize > kMaxInflatedSize / 2 ? kMaxInflatedSize : bufferSize * 2;
        auto* pGrown = new (std::nothrow) unsigned char[grown];
        if (!pGrown) {
            err = Z_MEM_ERROR;
            break;
        }
        std::memcpy(pGrown, *out, bufferSize);
        delete[] * out;
        *out = pGrown;
        stream.next_out = pGrown + bufferSize;
        stream.avail_out = grown - bufferSize;
        bufferSize = grown;
    }
    inflateEnd(&stream);
    return err;
}

int ZipUtils::ztInflateMemoryWithHint(const unsigned char* in, unsigned int inLength, unsigned char** out,
                                      unsigned int outLengthHint)
{
    unsigned int outLength = 0;
    int err = ztInflateMemoryWithHint(in, inLength, out, &outLength, outLengthHint);
    if (err != Z_OK) {
        delete[] * out;
        *out = nullptr;
        return 0;
    }
    return static_cast<int>(outLength);
}

int ZipUtils::ztInflateMemory(const unsigned char* in, unsigned int inLength, unsigned char** out)
{
    return ztInflateMemoryWithHint(in, inLength, out, kMemoryHint);
}

int ZipUtils::ztInflateGZipFile(const char* path, unsigned char** out)
{
    return inflateFile(path, out, ztInflateGZipData);
}

int ZipUtils::ztInflateGZipData(const unsigned char* in, unsigned long inLength, unsigned char** out)
{
    ZTAssert(out, "out");
    *out = nullptr;
    if (!in || inLength < kGZipMinimumLength) {
        return -1;
    }
    if (in[0] != 0x1f || in[1] != 0x8b) {
        // Like gzread, data without a gzip header is read as it is.
        if (inLength > kMaxInflatedSize) {
            return -1;
        }
        *out = static_cast<unsigned char*>(std::malloc(inLength));
        if (!*out) {
            return -1;
        }
        std::memcpy(*out, in, inLength);
        return static_cast<int>(inLength);
    }

    unsigned long bufferSize = kGZipFirstBuffer;
    *out = static_cast<unsigned char*>(std::malloc(bufferSize));
    if (!*out) {
        return -1;
    }
    z_stream stream;
    std::memset(&stream, 0, sizeof(stream));
    if (inflateInit2(&stream, 15 + 16) != Z_OK) {
        return fail(out);
    }
    stream.next_in = const_cast<unsigned char*>(in);
    stream.avail_in = static_cast<unsigned int>(std::min<unsigned long>(inLength, kMaxInflatedSize));
    stream.next_out = *out;
    stream.avail_out = static_cast<unsigned int>(bufferSize);
    bool ok = false;
    for (;;) {
        int err = inflate(&stream, Z_NO_FLUSH);
        if (err == Z_STREAM_END) {
            // Another member may follow; anything else after a member is ignored, as gzread does.
            if (stream.avail_in >= 2 && stream.next_in[0] == 0x1f && stream.next_in[1] == 0x8b) {
                inflateReset(&stream);
                continue;
            }
            ok = true;
            break;
        }
        if (err != Z_OK) {
            break;
        }
        if (stream.avail_out > 0) {
            continue;
        }
        if (bufferSize >= kMaxInflatedSize) {
            break;
        }
        unsigned long grown = std::min<unsigned long>(bufferSize * 2, kMaxInflatedSize);
        auto* pGrown = static_cast<unsigned char*>(std::realloc(*out, grown));
        if (!pGrown) {
            break;
        }
        *out = pGrown;
        stream.next_out = pGrown + bufferSize;
        stream.avail_out = static_cast<unsigned int>(grown - bufferSize);
        bufferSize = grown;
    }
    unsigned long produced = bufferSize - stream.avail_out;
    inflateEnd(&stream);
    if (!ok) {
        return fail(out);
    }
    return static_cast<int>(produced);
}

int ZipUtils::ztInflateCCZFile(const char* path, unsigned char** out)
{
    return inflateFile(path, out, ztInflateCCZData);
}

int ZipUtils::ztInflateCCZData(const unsigned char* in, unsigned long inLength, unsigned char** out)
{
    ZTAssert(out, "out");
    *out = nullptr;
    if (!in || inLength < kCCZHeaderLength) {
        return -1;
    }
    if (std::memcmp(in, "CCZ!", 4) != 0 || bigEndian16(in + 4) != 0 || bigEndian16(in + 6) >= 3) {
        return -1;
    }
    unsigned long length = bigEndian32(in + 12);
    unsigned long compressed = inLength - kCCZHeaderLength;
    if (length > kMaxInflatedSize || length > compressed * kDeflateMaxRatio + 64) {
        return -1;
    }
    *out = static_cast<unsigned char*>(std::malloc(length == 0 ? 1 : length));
    if (!*out) {
        return -1;
    }
    uLongf destLength = length;
    int err = uncompress(*out, &destLength, in + kCCZHeaderLength, compressed);
    if (err != Z_OK || destLength != length) {
        return fail(out);
    }
    return static_cast<int>(length);
}

} // namespace zanth2d
