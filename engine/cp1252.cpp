#include "engine/cp1252.h"

namespace {

// Code points of the bytes 0x80-0x9F; the undefined ones keep their own value.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t CodePointOf(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

bool ByteOf(char32_t code_point, uint8_t* byte) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
        *byte = static_cast<uint8_t>(code_point);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == code_point) {
            *byte = static_cast<uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(char32_t code_point, std::string* out) {
    if (code_point < 0x80) {
        out->push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {  // every code point of the table lies below 0x10000
        out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

// Decodes one well-formed UTF-8 sequence at `*pos`, advancing it; false on any malformed,
// overlong, surrogate or out-of-range sequence.
bool DecodeUtf8(std::string_view text, size_t* pos, char32_t* code_point) {
    uint8_t lead = static_cast<uint8_t>(text[*pos]);
    int length = lead < 0x80   ? 1
                 : lead < 0xC2 ? 0
                 : lead < 0xE0 ? 2
                 : lead < 0xF0 ? 3
                 : lead < 0xF5 ? 4
                               : 0;
    if (length == 0 || text.size() - *pos < static_cast<size_t>(length)) {
        return false;
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        uint8_t next = static_cast<uint8_t>(text[*pos + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        value = value << 6 | (next & 0x3F);
    }
    constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *pos += length;
    *code_point = value;
    return true;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() * 2);
    for (char c : cp1252) {
        AppendUtf8(CodePointOf(static_cast<uint8_t>(c)), &out);
    }
    return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string* out) {
    out->clear();
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t code_point = 0;
        uint8_t byte = 0;
        if (!DecodeUtf8(utf8, &pos, &code_point) || !ByteOf(code_point, &byte)) {
            return false;
        }
        out->push_back(static_cast<char>(byte));
    }
    return true;
}

uint8_t Cp1252UpperCase(uint8_t byte) {
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
        return byte - 0x20;
    }
    switch (byte) {
        case 0x9A:  // š
        case 0x9C:  // œ
        case 0x9E:  // ž
            return byte - 0x10;
        case 0xFF:  // ÿ
            return 0x9F;
        default:
            return byte;
    }
}
