// Where a bitmap button puts its glyph: left of, right of, above or below its caption.
// Platform-free.
#pragma once

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
