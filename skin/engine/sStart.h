// The start and end steps of the skin engine's modules, for the program block. At start, in
// this order: the package texts (sConst), the skin command message (sMessages), the utilities
// (kernel32's IsWow64Process, Win64NoComposition), the PNG decoder (vxPNG: "png" for the
// picture class), the skinned-forms list's icons (sStyleSimply), the skin manager's unit (the
// platform, the built-in shadow images, "/vxver"), and the engine's classes for form descriptions (TsSkinManager). The end
// steps run in the reverse order. Window skinning must be connected before
// (ConnectWindowSkinning in skin/windows), so that the composition query reaches it. Both run
// once; further calls only count, and the last end runs the ends.
#pragma once

void SkinEngineStart();
void SkinEngineEnd();
