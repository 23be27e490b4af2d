// SHA-1 (FIPS 180-1) on the host, for the item-list hash when the card does not compute it.
#pragma once

#include <cstddef>

#include "register/core/UItemList.h"

// The digest of count bytes ("abc" -> A9 99 3E 36 ...).
TItemHash Sha1(const void* bytes, std::size_t count);
