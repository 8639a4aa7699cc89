#pragma once

// Python that defines png(name, width, height, pixel(x, y) -> bytes, colour_type) writing a PNG with
// zlib and struct only, so decoders are checked against an encoder that is not theirs.
inline const char* kPythonPngWriter = R"PY(
import struct, zlib
def png(name, w, h, pixel, colour_type=6):
    rows = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(w)) for y in range(h))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    head = struct.pack(">IIBBBBB", w, h, 8, colour_type, 0, 0, 0)
    open(name, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
)PY";
