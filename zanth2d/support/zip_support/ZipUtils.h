#pragma once

namespace zanth2d {

// Decompression entry points. Every buffer returned belongs to the caller: the memory inflater's with
// delete[], the gzip and CCZ readers' with free(). No output grows beyond kMaxInflatedSize bytes.
class ZipUtils
{
public:
    static constexpr unsigned int kMaxInflatedSize = 256u * 1024 * 1024;

    // Inflates a zlib or gzip stream (detected by its header) into a new[] buffer that starts at
    // outLengthHint bytes and doubles as needed. Returns the zlib result code; on Z_OK *outLength is
    // the length. On an error *out may still hold a buffer the caller deletes.
    static int ztInflateMemoryWithHint(const unsigned char* in, unsigned int inLength, unsigned char** out,
                                       unsigned int* outLength, unsigned int outLengthHint);
    // The same, returning the length; on any error *out is null and the result 0.
    static int ztInflateMemoryWithHint(const unsigned char* in, unsigned int inLength, unsigned char** out,
                                       unsigned int outLengthHint);
    // ztInflateMemoryWithHint with a 256 KB first buffer.
    static int ztInflateMemory(const unsigned char* in, unsigned int inLength, unsigned char** out);

    // The content of a gzip file (all members; a file that is not gzip is returned as it is) in a
    // malloc buffer; -1 and *out null for a missing, truncated or corrupt file.
    static int ztInflateGZipFile(const char* path, unsigned char** out);
    // The same over gzip data in memory.
    static int ztInflateGZipData(const unsigned char* in, unsigned long inLength, unsigned char** out);

    // The content of a CCZ file (16-byte header, then a zlib stream) in a malloc buffer; -1 and *out
    // null for a missing, short, unsupported or corrupt file.
    static int ztInflateCCZFile(const char* path, unsigned char** out);
    // The same over CCZ data in memory.
    static int ztInflateCCZData(const unsigned char* in, unsigned long inLength, unsigned char** out);
};

} // namespace zanth2d
