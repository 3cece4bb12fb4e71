#include "base/Windows1252.h"

#include <array>

namespace quorrel::windows1252 {
namespace {

// 0x80..0x9F; every other byte maps to the code point of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of every character below U+2123 (the highest with a byte), '?' for those without one.
constexpr unsigned kEncodedRange = 0x2123;
constexpr std::array<char, kEncodedRange> makeEncodeTable() {
    std::array<char, kEncodedRange> table{};
    for (unsigned c = 0; c < kEncodedRange; ++c)
        table[c] = (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) ? char(c) : '?';
    for (unsigned i = 0; i < kHighControls.size(); ++i)
        table[kHighControls[i]] = char(0x80 + i);
    return table;
}

constexpr std::array<char, kEncodedRange> kEncode = makeEncodeTable();

constexpr std::array<char16_t, 256> makeDecodeTable() {
    std::array<char16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
    return table;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

} // namespace

QString decode(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = kDecode[in[i]];
    return text;
}

QByteArray encode(QStringView text) {
    // The largest size; a surrogate pair makes it one byte shorter.
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(encodeInto(text, bytes.data()));
    return bytes;
}

qsizetype encodeInto(QStringView text, char* out) {
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c < kEncodedRange) {
            out[written++] = kEncode[c];
            continue;
        }
        // Every character from U+2123 on, a pair of surrogates included, has no byte.
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1]))
            ++i;
        out[written++] = '?';
    }
    return written;
}

} // namespace quorrel::windows1252
