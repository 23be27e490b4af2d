// The verification link's QR picture on the receipt (the register window's part of UQR): the
// symbol of the current link (UQR::GetVerifyUrl, computed by the QR library) is drawn one pixel
// a module into the window's QR image, and a copy is placed on the receipt memo, just above five
// empty lines added at its end.
//
//   // the register window, after UQR::BuildVerifyUrl, when "QRCode" is ticked:
//   UQR::DrawQrCode(*QRImage, *BelegMemo, *QrOverlay);
#pragma once

class TImage;
class TCustomMemo;

namespace UQR {

struct TQrSymbol;

// 1. Clears image's picture; with an empty link, or no symbol from the library, that is all.
// 2. Paints the dark modules black into image's picture (made at the image's size, white), the
//    symbol centred: module (x, y) at (x0 + x, y0 + y), x0 = (width - size) div 2 and
//    y0 = (height - size) div 2 (a symbol of 25 in 100 x 100 starts at (37, 37)).
// 3. Focuses memo, adds five empty lines at its end and reads the caret position; when there
//    is none, overlay is left as it is.
// 4. Places overlay (a child of memo): left = memo width div 2 - size, top = caret y - size, the
//    image's width and height, its picture a copy of image's; then shows it.
void DrawQrCode(TImage& image, TCustomMemo& memo, TImage& overlay);
// The same with the symbol of the current link computed already (QrSymbolOf; size 0: none).
// The five lines show at once even inside an update of the memo's lines, with what it
// collected before them, as one edit.
void DrawQrCode(TImage& image, TCustomMemo& memo, TImage& overlay, const TQrSymbol& symbol);

// DrawQrCode in two parts, for a memo whose lines show later than they are added (a mass run
// shows them when the windows may paint): AddQrRoom adds the five empty lines when there is a
// symbol (false, nothing added, when there is none); ShowQrCode, once the memo holds nothing
// after them, paints the picture, shows what the memo collected and places the overlay (steps
// 1 to 4 without adding the lines).
bool AddQrRoom(TCustomMemo& memo, const TQrSymbol& symbol);
void ShowQrCode(TImage& image, TCustomMemo& memo, TImage& overlay, const TQrSymbol& symbol);

} // namespace UQR
