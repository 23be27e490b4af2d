// The common road of the report commands of UCard (daily, span, activation, deactivation):
// reset the command buffer, start a new receipt, journal the report frame, send the command and
// journal the card's answer. Used by UCard.cpp and UCardQsm.cpp only.
#pragma once

#include <cstdint>
#include <string>

namespace UCard::Detail {

struct TReportCommand {
    std::uint8_t p1 = 1;
    // Card-monitor label, written first (activation, deactivation) or right before sending.
    std::string label;
    bool labelFirst = false;
    // The transaction text after the reset, and the register monitor's line.
    std::string receiptText;
    std::string monitorText;
    // Span only: first and last month (3 bytes of packed BCD each).
    std::string firstMonth, lastMonth;
    // Activation only: the PIN field as hex text, sent after the time field, never journalled.
    std::string pinField;
};

// Runs the report; true when the card answered 90 00. The L journal's "<report>" and
// "</report>" and the S journal's "<reportEncoded>" and "</reportEncoded>" are always written
// once the command is built.
bool RunReport(const TReportCommand& report);

// Labels the card monitor in blue.
void Label(const std::string& label);

} // namespace UCard::Detail
