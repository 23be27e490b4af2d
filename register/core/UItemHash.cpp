// The item-list hash of UContainer: on the card or on the host, as the debug window says.
#include "register/core/UContainer.h"

#include "card/exports/QsmTool.h"
#include "register/core/UConvert.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"
#include "register/core/USha1.h"
#include "register/core/UXML_Export.h"
#include "register/core/Ubase64.h"

namespace UContainer {

namespace {

std::string HashText(const TItemHash& hash)
{
    return UConvert::BytesToHexText({reinterpret_cast<const char*>(hash.data()), hash.size()});
}

// The card's digest through HASH_DATA, which takes the data length in its count (a copy: the
// list keeps its own) and answers 0 with 20 bytes; none on any failure.
std::optional<TItemHash> CardHash(const std::string& list)
{
    TItemHash hash{};
    std::int32_t count = static_cast<std::int32_t>(list.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(list.data());
    if (HASH_DATA(data, hash.data(), &count) != 0 || count != static_cast<std::int32_t>(hash.size()))
        return std::nullopt;
    return hash;
}

} // namespace

std::optional<TItemHash> HashItemList()
{
    TRegisterCore& core = RegisterCore();
    const std::string& list = core.ItemList().Bytes();
    UFuncMon::LogToMonitor("\t" + ULang::GetText(40) + ": " + UConvert::BytesToHexText(list));
    const std::optional<TItemHash> hash =
        UDebugHold::GetCheckHash() ? CardHash(list) : std::optional<TItemHash>(Sha1(list.data(), list.size()));
    if (hash) {
        core.ItemHash() = *hash;
        UFuncMon::LogToMonitor("\t" + ULang::GetText(41) + ": " + HashText(*hash));
    } else {
        UFuncMon::LogToMonitor("\t" + ULang::GetText(41) + ": " + ULang::GetText(33));
    }
    UXML_Export::WriteJournal(UXML_Export::JournalS, UXML_Export::KindPending,
                              "<transactionEncoded><itemListEncoded>" + Ubase64::Base64EncodeText(list) +
                                  "</itemListEncoded>");
    return hash;
}

} // namespace UContainer
