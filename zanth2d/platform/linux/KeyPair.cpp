#include "platform/linux/KeyPair.h"

#include <QChar>
#include <algorithm>
#include <array>

namespace zanth2d {

namespace {

constexpr std::size_t kEntryCount = 59;

std::array<KeyPair, kEntryCount> makeEntries()
{
    std::array<KeyPair, kEntryCount> table{};
    std::size_t i = 0;
    auto add = [&table, &i](std::uint16_t c, std::int32_t key) { table[i++] = KeyPair{c, key}; };
    add(3, 0x01000005);  // Enter
    add(8, 0x01000003);  // Backspace
    add(9, 0x01000001);  // Tab
    add(10, 0x01000004); // Return
    add(13, 0x01000004); // Return
    add(25, 0x01000002); // Backtab
    add(27, 0x01000000); // Escape
    add(127, 0x01000003); // Backspace
    add(0xF700, 0x01000013); // Up
    add(0xF701, 0x01000015); // Down
    add(0xF702, 0x01000012); // Left
    add(0xF703, 0x01000014); // Right
    for (int n = 1; n <= 35; ++n) {
        add(static_cast<std::uint16_t>(0xF704 + n - 1), 0x01000030 + n - 1); // F1 .. F35
    }
    add(0xF727, 0x01000006); // Insert
    add(0xF728, 0x01000007); // Delete
    add(0xF729, 0x01000010); // Home
    add(0xF72B, 0x01000011); // End
    add(0xF72C, 0x01000016); // PageUp
    add(0xF72D, 0x01000017); // PageDown
    add(0xF72E, 0x01000009); // Print
    add(0xF72F, 0x01000026); // ScrollLock
    add(0xF730, 0x01000008); // Pause
    add(0xF731, 0x0100000A); // SysReq
    add(0xF735, 0x01000055); // Menu
    add(0xF746, 0x01000058); // Help
    return table;
}

const std::array<KeyPair, kEntryCount> entries = makeEntries();

} // namespace

const KeyPair* keyPairEntries(std::size_t* size)
{
    if (size) {
        *size = entries.size();
    }
    return entries.data();
}

std::int32_t qtKeyForCharacters(const std::u16string& characters)
{
    if (characters.size() != 1) {
        return kZTUnknownQtKey;
    }
    char16_t c = characters[0];
    const QChar qc(c);
    if (qc.category() == QChar::Letter_Lowercase) {
        c = qc.toUpper().unicode();
    }
    const auto found = std::lower_bound(entries.begin(), entries.end(), static_cast<std::uint16_t>(c));
    if (found != entries.end() && *found == static_cast<std::uint16_t>(c)) {
        return found->qtKey;
    }
    return c;
}

} // namespace zanth2d
