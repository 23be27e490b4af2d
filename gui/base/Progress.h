// The stages of a graphic's progress notifications while it loads: one starting notification
// per phase (with a text such as "Preparing..."), running ones with the percentage done, and an
// ending one. Platform-free, so that decoders without windows report their progress too.
#pragma once

enum TProgressStage { psStarting, psRunning, psEnding };
