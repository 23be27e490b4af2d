// Colours of the card monitor's lines (0x00BBGGRR): blue headings, maroon information and
// card events, red errors, black for the answers of "Card,APDU" exchanges and version lines.
#pragma once

constexpr int clLogBlack = 0x000000;
constexpr int clLogMaroon = 0x000080;
constexpr int clLogRed = 0x0000FF;
constexpr int clLogBlue = 0xFF0000;
