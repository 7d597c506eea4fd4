#include "skin/glyph_table.h"

namespace {

uint32_t ReadLe16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}

}  // namespace

bool GlyphTable::Load(const uint8_t* bytes, uint32_t size) {
    width_.fill(0);
    column_.fill(0);
    height_ = 0;
    if (bytes == nullptr || size < 256 * kGlyphRecordSize) {
        return false;
    }
    uint32_t column = 0;
    for (uint32_t code = 0; code < 256; ++code) {
        const uint8_t* record = bytes + code * kGlyphRecordSize;
        const uint32_t width = ReadLe16(record + 4);
        if (width == 0) {
            continue;
        }
        if (height_ == 0) {
            height_ = ReadLe16(record + 6);
        }
        width_[code] = width;
        column_[code] = column;
        column += width + 1;
    }
    return true;
}

std::vector<GlyphPlacement> LayoutText(const GlyphTable& table, std::string_view text, int32_t x,
                                       int32_t y) {
    std::vector<GlyphPlacement> placements;
    for (char c : text) {
        const auto code = static_cast<uint8_t>(c);
        if (code == 0) {
            break;
        }
        const int32_t width = static_cast<int32_t>(table.Width(code));
        if (width != 0) {
            const int32_t top = code < 128 ? y : y - kHighCodeRaise;
            placements.push_back({code, static_cast<int32_t>(table.Column(code)), width, x, top});
            x += width;
        } else if (code == ' ') {
            x += kBlankAdvance;
        }
    }
    return placements;
}
