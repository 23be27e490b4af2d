#include "skin/engine/sGlyphLayout.h"

void CalcGlyphLayout(const TRect& client, TPoint offset, TPoint glyphSize, TPoint textSize, TButtonLayout layout,
                     int margin, int spacing, TPoint& glyphPos, TRect& textRect, unsigned options)
{
    if (options & glRightToLeft) {
        if (layout == blGlyphLeft) layout = blGlyphRight;
        else if (layout == blGlyphRight) layout = blGlyphLeft;
    }
    const TPoint size{client.Right - client.Left, client.Bottom - client.Top};
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    TPoint textPos;
    if (horizontal) {
        glyphPos.Y = (size.Y - glyphSize.Y + 1) / 2;
        textPos.Y = (size.Y - textSize.Y + 1) / 2;
    } else {
        glyphPos.X = (size.X - glyphSize.X + 1) / 2;
        textPos.X = (size.X - textSize.X + 1) / 2;
    }
    if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;
    const int clientAlong = horizontal ? size.X : size.Y;
    const int glyphAlong = horizontal ? glyphSize.X : glyphSize.Y;
    const int textAlong = horizontal ? textSize.X : textSize.Y;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (clientAlong - glyphAlong - textAlong) / 3;
            spacing = margin;
        } else {
            margin = (clientAlong - glyphAlong - spacing - textAlong + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (clientAlong - margin - glyphAlong - textAlong) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyphPos.X = margin;
        textPos.X = glyphPos.X + glyphSize.X + spacing;
        break;
    case blGlyphRight:
        glyphPos.X = size.X - margin - glyphSize.X;
        textPos.X = glyphPos.X - spacing - textSize.X;
        break;
    case blGlyphTop:
        glyphPos.Y = margin;
        textPos.Y = glyphPos.Y + glyphSize.Y + spacing;
        break;
    case blGlyphBottom:
        glyphPos.Y = size.Y - margin - glyphSize.Y;
        textPos.Y = glyphPos.Y - spacing - textSize.Y;
        break;
    }
    glyphPos.X += client.Left + offset.X;
    glyphPos.Y += client.Top + offset.Y;
    const int tx = textPos.X + client.Left + offset.X, ty = textPos.Y + client.Top + offset.Y;
    textRect = TRect{tx, ty, tx + textSize.X, ty + textSize.Y};
}
