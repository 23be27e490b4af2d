// Recolouring a loaded skin at load time: the hue rotation and the saturation change of the
// colour mixing (sColorMix.h) over the master bitmap, every image with its own bitmap, the
// section colours (Color, HotColor, the font colours that are set, both gradients' colours)
// and GLOBALINFO's SHADOW1COLOR and BORDERCOLOR. Pixels 0xFF00FF and grey pixels stay.
//
//   ChangeSkinHue(tables, 90);          BIKEEPHUE 1: the title-button icons keep their hue;
//                                       2: only the close icons ("BICONCLOSE", "SICONCLOSE")
//   ChangeSkinSaturation(tables, 150);  each colour changed by (-150) mod 101 = -49 percent
//   ChangeSkinSaturation(tables, -30);  by 30; 0 changes nothing; 101 runs with 0
#pragma once

class TsSkinTables;

void ChangeSkinHue(TsSkinTables& skin, int offset);
void ChangeSkinSaturation(TsSkinTables& skin, int amount);
