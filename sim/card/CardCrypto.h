// The card's ECDSA key on the 192-bit prime curve (NIST P-192) and its SHA-1, over libgcrypt.
#pragma once

#include "sim/card/Bytes.h"

namespace qsmsim {

Bytes Sha1(const Bytes& data);

class EcKey {
public:
    static EcKey Generate();
    // From the stored private scalar d (24 bytes) and public point q (04 || X || Y, 49 bytes).
    static EcKey FromParts(const Bytes& d, const Bytes& q);

    const Bytes& PrivateScalar() const { return d_; }
    const Bytes& PublicPoint() const { return q_; }
    Bytes X() const { return Bytes(q_.begin() + 1, q_.begin() + 25); }
    Bytes Y() const { return Bytes(q_.begin() + 25, q_.end()); }
    bool Valid() const { return d_.size() == 24 && q_.size() == 49; }

    // ECDSA over a digest taken as a big-endian integer (at most its first 24 bytes);
    // the signature is r || s, 24 bytes each.
    Bytes SignDigest(const Bytes& digest) const;
    bool VerifyDigest(const Bytes& digest, const Bytes& signature) const;

    // ECDSA with SHA-1 over the message.
    Bytes Sign(const Bytes& message) const { return SignDigest(Sha1(message)); }
    bool Verify(const Bytes& message, const Bytes& signature) const { return VerifyDigest(Sha1(message), signature); }

private:
    Bytes d_, q_;
};

// r || s (24 bytes each) as the DER sequence of two integers used in certificates.
Bytes SignatureToDer(const Bytes& rs);

} // namespace qsmsim
