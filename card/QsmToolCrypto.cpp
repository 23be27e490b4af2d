// The exports for signing, verification and hashing, the certificate, the keys and the
// KORVA file list. Arguments are checked here; the card work is in UCardSign and UCardKeys.
#include "card/exports/QsmTool.h"

#include <cstring>
#include <string>
#include <string_view>

#include "card/UCardFunc.h"
#include "card/UCardKeys.h"
#include "card/UCardSign.h"
#include "card/UExportGuard.h"

namespace {

std::string Text(const char* s) { return s ? s : ""; }

// The caller's data bytes; false for a negative length or missing bytes.
bool DataView(const std::uint8_t* data, std::int32_t length, std::string_view& view)
{
    if (length < 0 || (length > 0 && !data)) return false;
    view = length ? std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length))
                  : std::string_view();
    return true;
}

// Hands the text out through the result buffer; true so it can end a sink.
bool HandOut(const std::string& text, const char** out)
{
    const char* buffer = Module().SetResultText(text);
    if (out) *out = buffer;
    return true;
}

} // namespace

QSM_API std::int32_t __stdcall SIGN(const std::uint8_t* data, std::int32_t length, const char* keyRef,
                                    const char** signature)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        std::string_view bytes;
        if (!DataView(data, length, bytes)) return qrFailed;
        return SignData(Module(), bytes, Text(keyRef),
                        [&](const std::string& text) { return HandOut(text, signature); });
    });
}

QSM_API std::int32_t __stdcall VERIFY(const std::uint8_t* data, std::int32_t length, const char* keyRef,
                                      const char* signature)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        std::string_view bytes;
        if (!DataView(data, length, bytes)) return qrFailed;
        return VerifyData(Module(), bytes, Text(keyRef), Text(signature));
    });
}

QSM_API std::int32_t __stdcall SIGN_FILE(const char* fileName, const char* keyRef)
{
    return Guarded<std::int32_t>(qrFailed, [&] { return SignFile(Module(), Text(fileName), Text(keyRef)); });
}

QSM_API std::int32_t __stdcall VERIFY_FILE(const char* dataFile, const char* signatureFile, const char* keyRef)
{
    return Guarded<std::int32_t>(
        qrFailed, [&] { return VerifyFile(Module(), Text(dataFile), Text(signatureFile), Text(keyRef)); });
}

// count: in the data length, out the number of hash bytes (20).
QSM_API std::int32_t __stdcall HASH_DATA(const std::uint8_t* data, std::uint8_t* hash, std::int32_t* count)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        std::string_view bytes;
        if (!count || !hash || !DataView(data, *count, bytes)) return qrFailed;
        std::string value;
        const std::int32_t rc = HashData(Module(), bytes, value);
        if (rc == qrOk) {
            std::memcpy(hash, value.data(), value.size());
            *count = static_cast<std::int32_t>(value.size());
        }
        return rc;
    });
}

// count: in the size of the buffer, out the number of certificate bytes.
QSM_API std::int32_t __stdcall READ_CERT(std::uint8_t* buffer, std::int32_t* count)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        if (!count || !buffer || *count < 0) return qrFailed;
        std::string certificate;
        const std::int32_t rc = ReadCert(Module(), static_cast<std::size_t>(*count), certificate);
        if (rc == qrOk) {
            std::memcpy(buffer, certificate.data(), certificate.size());
            *count = static_cast<std::int32_t>(certificate.size());
        }
        return rc;
    });
}

QSM_API std::int32_t __stdcall WRITE_CERT(const std::uint8_t* certificate, std::int32_t length)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        std::string_view bytes;
        if (!DataView(certificate, length, bytes)) return qrFailed;
        return WriteCert(Module(), bytes);
    });
}

QSM_API std::int32_t __stdcall GENERATE_KEY(std::int32_t keyType)
{
    return Guarded<std::int32_t>(qrFailed, [&] { return GenerateKey(Module(), keyType); });
}

QSM_API std::int32_t __stdcall IMPORT_KEY(std::int32_t keyNumber, const char* key)
{
    return Guarded<std::int32_t>(qrFailed, [&] { return ImportKey(Module(), keyNumber, Text(key)); });
}

QSM_API std::int32_t __stdcall EXPORT_KEY(std::int32_t keyNumber, const char** key)
{
    return Guarded<std::int32_t>(qrFailed, [&] {
        return ExportKey(Module(), keyNumber, [&](const std::string& text) { return HandOut(text, key); });
    });
}

QSM_API std::int32_t __stdcall IMPORT_KEY_FROMFILE(std::int32_t keyNumber, const char* fileName)
{
    return Guarded<std::int32_t>(qrFailed, [&] { return ImportKeyFromFile(Module(), keyNumber, Text(fileName)); });
}

QSM_API std::int32_t __stdcall EXPORT_KEY_TOFILE(std::int32_t keyNumber, const char* fileName)
{
    return Guarded<std::int32_t>(qrFailed, [&] { return ExportKeyToFile(Module(), keyNumber, Text(fileName)); });
}

QSM_API std::int32_t __stdcall LIST_KORVA_FILES(const char** fileList)
{
    return Guarded<std::int32_t>(qrFailed, [&]() -> std::int32_t {
        std::string list;
        const std::int32_t rc = ListKorvaFiles(Module(), list);
        if (rc == qrOk) HandOut(list, fileList);
        return rc;
    });
}
