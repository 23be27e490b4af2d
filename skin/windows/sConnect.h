// Connects window skinning to the skin engine: fills the engine's hooks (skin/engine/sHooks.h)
// with the services of this folder. The program block calls it before the engine's start.
#pragma once

void ConnectWindowSkinning();
