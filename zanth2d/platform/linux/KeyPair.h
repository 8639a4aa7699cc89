#pragma once

#include <cstdint>
#include <string>

namespace zanth2d {

// One row of the key table: a desktop key character (the Cocoa private-use codes for the function and
// navigation keys) and the Qt key it stands for.
struct KeyPair
{
    std::uint16_t character;
    std::int32_t qtKey;
};

inline bool operator==(const KeyPair& pair, std::uint16_t c) { return pair.character == c; }
inline bool operator<(const KeyPair& pair, std::uint16_t c) { return pair.character < c; }
inline bool operator<(std::uint16_t c, const KeyPair& pair) { return c < pair.character; }

// Qt's code for a key it does not know.
constexpr std::int32_t kZTUnknownQtKey = 0x01FFFFFF;

// The 59 table rows in ascending character order; count in *size.
const KeyPair* keyPairEntries(std::size_t* size);

// The Qt key for the characters of a key event ignoring modifiers: unknown for more than one unit; a
// lower-case letter counts as its upper case; a character the table lacks is its own key. Empty text is
// the caller's business (the key event is then dropped).
std::int32_t qtKeyForCharacters(const std::u16string& characters);

} // namespace zanth2d
