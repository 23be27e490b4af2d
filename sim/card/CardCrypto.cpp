#include "sim/card/CardCrypto.h"

#include <gcrypt.h>

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace qsmsim {
namespace {

// Only errors of the library are worth showing; its notes about entropy sources are not.
void QuietLog(void*, int level, const char* format, va_list args)
{
    if (level >= GCRY_LOG_ERROR) std::vfprintf(stderr, format, args);
}

void InitGcrypt()
{
    static const bool done = [] {
        gcry_set_log_handler(QuietLog, nullptr);
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)done;
}

// Owns an S-expression.
struct Sexp {
    gcry_sexp_t s = nullptr;
    ~Sexp() { gcry_sexp_release(s); }
};

struct Mpi {
    gcry_mpi_t m = nullptr;
    ~Mpi() { gcry_mpi_release(m); }
};

Bytes MpiBytes(gcry_mpi_t m, std::size_t width)
{
    unsigned char buf[128];
    size_t n = 0;
    if (gcry_mpi_print(GCRYMPI_FMT_USG, buf, sizeof buf, &n, m)) throw std::runtime_error("mpi");
    Bytes out(buf, buf + n);
    while (width && out.size() < width)
        out.insert(out.begin(), 0);
    return out;
}

Bytes TokenBytes(gcry_sexp_t list, const char* name, std::size_t width)
{
    Sexp tok;
    tok.s = gcry_sexp_find_token(list, name, 0);
    if (!tok.s) throw std::runtime_error(name);
    Mpi m;
    m.m = gcry_sexp_nth_mpi(tok.s, 1, GCRYMPI_FMT_USG);
    if (!m.m) throw std::runtime_error(name);
    return MpiBytes(m.m, width);
}

Bytes DigestValue(const Bytes& digest)
{
    return Bytes(digest.begin(), digest.begin() + std::min<std::size_t>(digest.size(), 24));
}

} // namespace

Bytes Sha1(const Bytes& data)
{
    InitGcrypt();
    Bytes out(20);
    gcry_md_hash_buffer(GCRY_MD_SHA1, out.data(), data.data(), data.size());
    return out;
}

EcKey EcKey::Generate()
{
    InitGcrypt();
    Sexp parms, key;
    gcry_sexp_build(&parms.s, nullptr, "(genkey (ecc (curve \"NIST P-192\")))");
    if (gcry_pk_genkey(&key.s, parms.s)) throw std::runtime_error("genkey");
    EcKey k;
    k.d_ = TokenBytes(key.s, "d", 24);
    Sexp q;
    q.s = gcry_sexp_find_token(key.s, "q", 0);
    size_t n = 0;
    const char* data = q.s ? gcry_sexp_nth_data(q.s, 1, &n) : nullptr;
    if (!data) throw std::runtime_error("q");
    k.q_.assign(data, data + n);
    return k;
}

EcKey EcKey::FromParts(const Bytes& d, const Bytes& q)
{
    EcKey k;
    k.d_ = d;
    k.q_ = q;
    return k;
}

Bytes EcKey::SignDigest(const Bytes& digest) const
{
    InitGcrypt();
    Bytes value = DigestValue(digest);
    Sexp key, data, sig;
    gcry_sexp_build(&key.s, nullptr, "(private-key (ecc (curve \"NIST P-192\") (q %b) (d %b)))",
                    static_cast<int>(q_.size()), q_.data(), static_cast<int>(d_.size()), d_.data());
    Mpi e;
    gcry_mpi_scan(&e.m, GCRYMPI_FMT_USG, value.data(), value.size(), nullptr);
    gcry_sexp_build(&data.s, nullptr, "(data (flags raw) (value %m))", e.m);
    if (gcry_pk_sign(&sig.s, data.s, key.s)) throw std::runtime_error("sign");
    return Concat(TokenBytes(sig.s, "r", 24), TokenBytes(sig.s, "s", 24));
}

bool EcKey::VerifyDigest(const Bytes& digest, const Bytes& signature) const
{
    if (signature.size() != 48 || q_.size() != 49) return false;
    InitGcrypt();
    Bytes value = DigestValue(digest);
    Sexp key, data, sig;
    gcry_sexp_build(&key.s, nullptr, "(public-key (ecc (curve \"NIST P-192\") (q %b)))", static_cast<int>(q_.size()),
                    q_.data());
    Mpi e;
    gcry_mpi_scan(&e.m, GCRYMPI_FMT_USG, value.data(), value.size(), nullptr);
    gcry_sexp_build(&data.s, nullptr, "(data (flags raw) (value %m))", e.m);
    gcry_sexp_build(&sig.s, nullptr, "(sig-val (ecdsa (r %b) (s %b)))", 24, signature.data(), 24,
                    signature.data() + 24);
    return gcry_pk_verify(sig.s, data.s, key.s) == 0;
}

Bytes SignatureToDer(const Bytes& rs)
{
    auto integer = [](Bytes v) {
        while (v.size() > 1 && v[0] == 0 && !(v[1] & 0x80))
            v.erase(v.begin());
        if (v[0] & 0x80) v.insert(v.begin(), 0);
        Bytes out{0x02, static_cast<std::uint8_t>(v.size())};
        return Concat(out, v);
    };
    Bytes body = Concat(integer(Bytes(rs.begin(), rs.begin() + 24)), integer(Bytes(rs.begin() + 24, rs.end())));
    Bytes out{0x30, static_cast<std::uint8_t>(body.size())};
    return Concat(out, body);
}

} // namespace qsmsim
