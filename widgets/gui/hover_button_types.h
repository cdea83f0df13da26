#pragma once

#include <cstdint>

namespace strovane::widgets {

// Text alignment of the hover button and the colour panel.
enum class TextAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Drawing styles of the hover button.
enum class HoverButtonStyle : std::uint8_t { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };

// Stock kinds: each brings its glyph, caption and modal result.
enum class HoverButtonKind : std::uint8_t {
    bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll
};

// Where the glyph sits relative to the caption.
enum class GlyphLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Ready-made colour sets; setting one writes the colours, the property stays lcsCustom.
enum class HoverColorStyle : std::uint8_t {
    lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2, lcsUltraFlatXP,
    lcsAqua, lcsDefault, lcsQuicken
};

} // namespace strovane::widgets
