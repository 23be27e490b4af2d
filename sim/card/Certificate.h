// A self-signed X.509 certificate (DER) for the card key.
#pragma once

#include "sim/card/Bytes.h"
#include "sim/card/CardCrypto.h"

#include <string>

namespace qsmsim {

// Subject and issuer: C=AT, O=Tillora, OU=QSM simulated card, CN=<common name>,
// serialNumber=<tpId>. Signed with ecdsa-with-SHA1 by the key itself. Always longer than
// 255 bytes, so it starts with 30 82 and a two-byte length.
Bytes MakeCertificate(const EcKey& key, const std::string& commonName, const std::string& tpId, std::uint32_t serial);

} // namespace qsmsim
