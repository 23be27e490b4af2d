// Fuzz target of the card's responses: the fields are walked for every tag; the response is read
// as a transaction, report, card status and booked-months answer (complete elements only, no
// exception), and turned into the verification command of a signed sale. A field found lies
// inside the response at a field start; a verification that does not fit leaves the command as
// it was; one that fits holds the transaction's data field and the response from its
// sequence-number field on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "register/core/UCardResponse.h"
#include "register/core/UCommandBuffer.h"
#include "register/core/UTlvFields.h"

using namespace UCardResponse;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    // The first byte sizes the transaction's data field, the rest is the card's response.
    const std::size_t dataLength = data[0];
    const std::string_view response(reinterpret_cast<const char*>(data + 1), size - 1);

    for (int tag = 0; tag < 256; ++tag) {
        const std::optional<std::size_t> at = FindTlvField(response, static_cast<std::uint8_t>(tag));
        if (at && (*at >= response.size() || static_cast<std::uint8_t>(response[*at]) != tag)) std::abort();
    }

    const TTextSource text = [](int n) { return "T" + std::to_string(n); };
    const TParsedResponse sale = ParseTransactionResponse(response, text);
    const TParsedResponse report = ParseReportResponse(response, text);
    if (sale.signature && sale.signature->size() != 48) std::abort();
    if (const std::optional<TCardStatus> status = ParseCardStatus(response); status && status->state.size() != 2)
        std::abort();
    (void)ParseBookedMonths(response);

    TCommandBuffer command;
    std::string value(dataLength % 200, 'v');
    command.AddField(0xCD, value);
    command.SetLc();
    const std::string before = command.CommandText();
    const std::string dataField(command.DataField());
    if (!command.BuildVerifyCommand(response)) {
        if (command.CommandText() != before) std::abort();
        return 0;
    }
    const std::optional<std::size_t> cb = FindTlvField(response, 0xCB);
    const std::string_view suffix = cb ? response.substr(*cb) : response;
    const std::string_view field = command.DataField();
    if (field.size() != dataField.size() + suffix.size()) std::abort();
    if (field.substr(0, dataField.size()) != dataField || field.substr(dataField.size()) != suffix) std::abort();
    if (command.Bytes()[1] != 0x44 || command.Bytes()[4] != field.size()) std::abort();
    return 0;
}
