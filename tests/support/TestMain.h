// The exit code with which the shared test main ends a test program whose test crashed.
#pragma once

constexpr unsigned kCrashExitCode = 86;
