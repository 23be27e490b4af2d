// Card start, card selection and the card's system information.
#pragma once

#include <cstdint>
#include <string>

class TCardModule;

// The answer to reset of the QSM card.
extern const char* const kQsmAtr;

// Each answers a TQsmResult (card/exports/QsmTool.h).
std::int32_t StartCard(TCardModule& m);
// qrOk when a row of the version table matched; sets the card and OS version texts.
std::int32_t ProbeCardVersion(TCardModule& m);
bool SelectQsmApplication(TCardModule& m);
void DisconnectCard(TCardModule& m);
// Returns qrOk, qrBusy or the failing step (TCardSysInfoStep); `report` gets the report
// gathered so far. A size of more than 8 hex digits (a 32-bit count) fails its step.
std::int32_t GetCardSysInfo(TCardModule& m, std::string& report);
