#include "covers/base64_decoder.h"

#include <array>

namespace {
constexpr signed char NotInAlphabet = -1;

constexpr std::array<signed char, 256> makeDecodingTable()
{
    std::array<signed char, 256> table{};
    table.fill(NotInAlphabet);
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int value = 0; value < 64; ++value)
        table[static_cast<unsigned char>(alphabet[value])] = static_cast<signed char>(value);
    return table;
}

constexpr std::array<signed char, 256> DecodingTable = makeDecodingTable();
} // namespace

QByteArray decodeBase64SkippingOthers(QByteArrayView text)
{
    QByteArray bytes(text.size() / 4 * 3 + 2, Qt::Uninitialized);
    char *out = bytes.data();
    // Only the low bits matter: at most 14 pending bits are ever read, so the shifts may overflow freely.
    quint32 pending = 0;
    int pendingBits = 0;
    for (const char character : text) {
        const signed char value = DecodingTable[static_cast<unsigned char>(character)];
        if (value == NotInAlphabet)
            continue;
        pending = (pending << 6) | quint32(value);
        pendingBits += 6;
        if (pendingBits >= 8) {
            pendingBits -= 8;
            *out++ = char((pending >> pendingBits) & 0xFFu);
        }
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}
