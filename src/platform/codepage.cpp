#include "codepage.h"

#include <array>

namespace {

// Upper halves of the two code pages (bytes 0x80 to 0xFF); the lower halves are ASCII. Code page
// 1251 leaves 0x98 unassigned: it is mapped to U+0098 so that every byte survives a round trip.
constexpr std::array<char16_t, 128> kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr std::array<char16_t, 128> kCp866 = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

QString decode(QByteArrayView bytes, const std::array<char16_t, 128>& upper)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b < 0x80 ? char16_t(b) : upper[b - 0x80]);
    }
    return text;
}

// Reverse of a table: for each UTF-16 code unit the byte that stands for it, 0 when none.
using ReverseTable = std::array<unsigned char, 0x10000>;

ReverseTable reverseOf(const std::array<char16_t, 128>& upper)
{
    ReverseTable reverse{};
    for (std::size_t i = 0; i < upper.size(); ++i)
        reverse[upper[i]] = static_cast<unsigned char>(0x80 + i);
    return reverse;
}

QByteArray encode(QStringView text, const ReverseTable& reverse, bool* lossless)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    bool allMapped = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            *out++ = char(u);
            continue;
        }
        const unsigned char b = reverse[u];
        allMapped = allMapped && b != 0;
        *out++ = b != 0 ? char(b) : '?';
    }
    if (lossless)
        *lossless = allMapped;
    return bytes;
}

} // namespace

QString fromCp1251(QByteArrayView bytes)
{
    return decode(bytes, kCp1251);
}

QByteArray toCp1251(QStringView text, bool* lossless)
{
    static const ReverseTable reverse = reverseOf(kCp1251);
    return encode(text, reverse, lossless);
}

QString fromCp866(QByteArrayView bytes)
{
    return decode(bytes, kCp866);
}

QByteArray toCp866(QStringView text, bool* lossless)
{
    static const ReverseTable reverse = reverseOf(kCp866);
    return encode(text, reverse, lossless);
}

bool isUtf8Text(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    bool multiByte = false;
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false; // a continuation byte without a lead, or a lead UTF-8 never uses
        }
        if (end - at < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((at[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (at[i] & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        multiByte = true;
        at += length;
    }
    return multiByte;
}
