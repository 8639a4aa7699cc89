#include "support/base64.h"

#include <new>

namespace zanth2d {

namespace {

// Value of each byte in the alphabet, -1 for bytes outside it.
struct DecodeTable
{
    signed char value[256];
    DecodeTable()
    {
        static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (signed char& v : value) {
            v = -1;
        }
        for (int i = 0; i < 64; ++i) {
            value[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        }
    }
};

// Returns the number of errors; *outLength is the count of bytes written.
int _base64Decode(const unsigned char* in, unsigned int inLength, unsigned char* out, unsigned int* outLength)
{
    static const DecodeTable table;
    unsigned long bits = 0;
    int pending = 0;
    unsigned int written = 0;
    int errors = 0;
    for (unsigned int i = 0; i < inLength; ++i) {
        unsigned char c = in[i];
        if (c == '=') {
            if (pending == 3) {
                out[written++] = static_cast<unsigned char>(bits >> 10);
                out[written++] = static_cast<unsigned char>(bits >> 2);
            } else if (pending == 2) {
                out[written++] = static_cast<unsigned char>(bits >> 4);
            } else if (pending == 1) {
                ++errors;
            }
            break;
        }
        int v = table.value[c];
        if (v < 0) {
            continue;
        }
        bits = (bits << 6) | static_cast<unsigned long>(v);
        if (++pending == 4) {
            out[written++] = static_cast<unsigned char>(bits >> 16);
            out[written++] = static_cast<unsigned char>(bits >> 8);
            out[written++] = static_cast<unsigned char>(bits);
            bits = 0;
            pending = 0;
        }
    }
    *outLength = written;
    return errors;
}

} // namespace

int base64Decode(const unsigned char* in, unsigned int inLength, unsigned char** out)
{
    *out = nullptr;
    unsigned long long capacity = static_cast<unsigned long long>(inLength) * 3 / 4 + 1;
    *out = new (std::nothrow) unsigned char[capacity];
    if (!*out) {
        return 0;
    }
    unsigned int outLength = 0;
    if (_base64Decode(in, in ? inLength : 0, *out, &outLength) > 0) {
        delete[] * out;
        *out = nullptr;
        return 0;
    }
    return static_cast<int>(outLength);
}

} // namespace zanth2d
