// Pixel formats of the class library's bitmaps. Platform-free, so that code which only chooses
// a format (image decoders, colour conversion) builds without windows.
//
// pf1bit, pf4bit, pf8bit: palette bitmaps (1, 4 or 8 bits per pixel, indexes into a colour table);
// pf15bit, pf16bit: 16 bits per pixel, 5-5-5 and 5-6-5 (reported for loaded bitmaps only);
// pf24bit: blue, green, red (the default of a new bitmap); pf32bit: blue, green, red, alpha;
// pfDevice: a device-dependent bitmap; pfCustom: anything else.
#pragma once

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
