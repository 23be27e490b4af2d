#include "register/core/USha1.h"

#include <gcrypt.h>

TItemHash Sha1(const void* bytes, std::size_t count)
{
    // The library wants its version check before first use; it also sets it up.
    static const bool ready = gcry_check_version(nullptr) != nullptr;
    (void)ready;
    TItemHash digest{};
    gcry_md_hash_buffer(GCRY_MD_SHA1, digest.data(), bytes, count);
    return digest;
}
