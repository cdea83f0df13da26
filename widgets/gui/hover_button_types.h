#pragma once

#include <cstdint>

namespace strovane::widgets {

// Text alignment of the hover button and the colour panel.
enum class TextAlignment : std::uint8_t { Left, Right, Center };

// Drawing styles of the hover button.
enum class HoverButtonStyle : std::uint8_t { Normal, Encarta, Modern, Old, Shape, Quicken };

// Stock kinds: each brings its glyph, caption and modal result.
enum class HoverButtonKind : std::uint8_t {
    Custom, Ok, Cancel, Help, Yes, No, Close, Abort, Retry, Ignore, All
};

// Where the glyph sits relative to the caption.
enum class GlyphLayout : std::uint8_t { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

// Ready-made colour sets; setting one writes the colours, the property stays Custom.
enum class HoverColorStyle : std::uint8_t {
    Custom, Gold, Chrome, Blue, Red, UltraFlatSlate, UltraFlatBlack, UltraFlatXp,
    Aqua, Default, Quicken
};

} // namespace strovane::widgets
