#include "sim/card/Certificate.h"

namespace qsmsim {
namespace {

Bytes Der(std::uint8_t tag, const Bytes& content)
{
    Bytes out{tag};
    std::size_t n = content.size();
    if (n < 0x80) {
        out.push_back(static_cast<std::uint8_t>(n));
    } else if (n < 0x100) {
        out.push_back(0x81);
        out.push_back(static_cast<std::uint8_t>(n));
    } else {
        out.push_back(0x82);
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(n));
    }
    return Concat(out, content);
}

Bytes Seq(std::initializer_list<Bytes> parts)
{
    Bytes body;
    for (const Bytes& p : parts)
        body = Concat(body, p);
    return Der(0x30, body);
}

Bytes Text(std::uint8_t tag, const std::string& s) { return Der(tag, Bytes(s.begin(), s.end())); }

Bytes Attribute(const Bytes& oid, std::uint8_t stringTag, const std::string& value)
{
    return Der(0x31, Seq({oid, Text(stringTag, value)}));
}

const Bytes kOidCountry{0x06, 0x03, 0x55, 0x04, 0x06};
const Bytes kOidOrg{0x06, 0x03, 0x55, 0x04, 0x0A};
const Bytes kOidOrgUnit{0x06, 0x03, 0x55, 0x04, 0x0B};
const Bytes kOidCommonName{0x06, 0x03, 0x55, 0x04, 0x03};
const Bytes kOidSerialNumber{0x06, 0x03, 0x55, 0x04, 0x05};
const Bytes kOidEcdsaSha1{0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x04, 0x01};
const Bytes kOidEcPublicKey{0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01};
const Bytes kOidPrime192v1{0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x01};

} // namespace

Bytes MakeCertificate(const EcKey& key, const std::string& commonName, const std::string& tpId, std::uint32_t serial)
{
    const Bytes name = Seq({Attribute(kOidCountry, 0x13, "AT"), Attribute(kOidOrg, 0x0C, "Tillora"),
                            Attribute(kOidOrgUnit, 0x0C, "QSM simulated card"),
                            Attribute(kOidCommonName, 0x0C, commonName), Attribute(kOidSerialNumber, 0x13, tpId)});
    Bytes serialBytes = MinimalBigEndian(serial);
    if (serialBytes[0] & 0x80) serialBytes.insert(serialBytes.begin(), 0);
    const Bytes algorithm = Seq({kOidEcdsaSha1});
    const Bytes spki = Seq({Seq({kOidEcPublicKey, kOidPrime192v1}), Der(0x03, Concat(Bytes{0x00}, key.PublicPoint()))});
    const Bytes tbs = Seq({Der(0xA0, Der(0x02, Bytes{0x02})), Der(0x02, serialBytes), algorithm, name,
                           Seq({Text(0x17, "250101000000Z"), Text(0x17, "491231235959Z")}), name, spki});
    const Bytes signature = SignatureToDer(key.Sign(tbs));
    return Seq({tbs, algorithm, Der(0x03, Concat(Bytes{0x00}, signature))});
}

} // namespace qsmsim
