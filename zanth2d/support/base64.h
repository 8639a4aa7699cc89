#pragma once

namespace zanth2d {

// Decodes base64 text (characters outside the alphabet are skipped, decoding stops at the first "=")
// into a new[] buffer the caller deletes. Returns the length; on malformed padding 0 and *out null.
int base64Decode(const unsigned char* in, unsigned int inLength, unsigned char** out);

} // namespace zanth2d
