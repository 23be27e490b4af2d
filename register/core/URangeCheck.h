// The class library's range error, as the core raises it for counts and values that do
// not fit their buffers.
#pragma once

[[noreturn]] void RaiseRangeError();
