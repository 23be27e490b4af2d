#include "register/core/UContainer.h"

#include <vector>

#include "register/core/UConvert.h"
#include "register/core/UFuncMon.h"
#include "register/core/ULang.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Scan.h"

namespace UContainer {

namespace {

enum : std::uint8_t {
    TagQuantity = 160,
    TagUnit = 161,
    TagName = 162,
    TagDiscountSurcharge = 170,
    TagVoucher = 171,
    TagAmount1 = 177, // 177..182: amounts of VAT classes 1..6
};

constexpr std::size_t MaxQuantityLength = 16;
constexpr std::size_t MaxUnitLength = 8;

// Hex digits of the bytes without separators ("19 9C" -> "199C").
std::string HexDigits(std::string_view bytes)
{
    std::string text = UConvert::BytesToHexText(bytes);
    std::erase(text, ' ');
    return text;
}

} // namespace

void ResetItemList()
{
    TRegisterCore& core = RegisterCore();
    std::array<double, 6> rates{};
    for (int n = 1; n <= 6; ++n)
        rates[static_cast<std::size_t>(n - 1)] = core.Host().GetVatRate(n);
    core.ItemList().Clear();
    core.VatContainers().Reset(rates);
    core.ItemXml() = "<itemList>";
}

int AddItemData(std::string_view quantity, std::string_view unit, std::string_view name, bool discount, bool voucher,
                bool taxExclusive, const TAmounts& amounts)
{
    TRegisterCore& core = RegisterCore();
    const UFuncMon::TMonitorBatch monitorBatch;
    UFuncMon::LogToMonitor(ULang::GetText(39));
    UFuncMon::LogToMonitor("\t");

    // The item is made aside and taken over only when all of it fits.
    std::string xml = "<item>";
    const std::string qnt = NormalizeQuantity(quantity);
    if (qnt.size() > MaxQuantityLength) {
        core.ItemXml() += xml + "</item>";
        return -1;
    }
    const std::size_t start = core.ItemList().Size();
    std::string entries;
    struct TBooking {
        int n;
        std::int64_t amount;
    };
    std::vector<TBooking> bookings;

    xml += "<qnt>" + qnt + "</qnt>";
    UFuncMon::AppendToMonitor(ULang::GetText(20) + ": " + qnt);
    AppendItemEntry(entries, start, TagQuantity, qnt);

    if (!unit.empty()) {
        const std::string cleanUnit = UConvert::CleanOperatorId(unit).substr(0, MaxUnitLength);
        xml += "<unit>" + cleanUnit + "</unit>";
        UFuncMon::AppendToMonitor(cleanUnit + "\t");
        AppendItemEntry(entries, start, TagUnit, cleanUnit);
    } else {
        UFuncMon::AppendToMonitor(" ");
    }

    xml += "<name>" + EscapeXmlText(name) + "</name>";
    const std::string cleanName = UConvert::CleanOperatorId(name);
    UFuncMon::AppendToMonitor(cleanName + "\t");
    AppendItemEntry(entries, start, TagName, cleanName);

    if (discount) {
        xml += "<discountSurcharge />";
        UFuncMon::AppendToMonitor("Rabatt\t");
        AppendItemEntry(entries, start, TagDiscountSurcharge, "");
    }
    if (voucher) {
        xml += "<voucher />";
        UFuncMon::AppendToMonitor("Gutschein\t");
        AppendItemEntry(entries, start, TagVoucher, "");
    }

    for (int n = 1; n <= 8; ++n) {
        const std::string& amount = amounts[static_cast<std::size_t>(n - 1)];
        if (amount.empty()) continue;
        const std::int64_t value = AmountValue(amount);
        if (value == 0) continue;
        if (n <= 6) {
            const std::string tag = std::to_string(n);
            xml += "<price" + tag + ">" + amount + "</price" + tag + ">";
            const std::string bcd = UConvert::DecimalToBcd(amount);
            UFuncMon::AppendToMonitor("E" + tag + ": " + HexDigits(bcd));
            AppendItemEntry(entries, start, static_cast<std::uint8_t>(TagAmount1 + n - 1), bcd);
        }
        bookings.push_back({n, value});
    }
    xml += "</item>";

    core.ItemList().Append(entries);
    core.ItemXml() += xml;
    for (const TBooking& b : bookings)
        core.VatContainers().Book(b.n, b.amount, taxExclusive);
    return 0;
}

void AddToContainer(int n, std::string_view amount, bool taxExclusive)
{
    RegisterCore().VatContainers().Book(n, AmountValue(amount), taxExclusive);
}

TVatContainer GetContainer(int n) { return RegisterCore().VatContainers().Get(n); }

std::int32_t GetReceiptTotal() { return RegisterCore().VatContainers().ReceiptTotal(); }

std::string FormatContainerLine(int n, bool taxExclusive)
{
    return RegisterCore().VatContainers().FormatLine(n, taxExclusive);
}

void AddTlv(std::uint8_t tag, std::string_view value) { RegisterCore().ItemList().Add(tag, value); }

} // namespace UContainer
