// Card start, card selection and the card's system information.
#pragma once

#include <cstdint>
#include <string>

class TCardModule;

// The answer to reset of the QSM card.
extern const char* const kQsmAtr;

std::int32_t StartCard(TCardModule& m);
int ProbeCardVersion(TCardModule& m);
bool SelectQsmApplication(TCardModule& m);
void DisconnectCard(TCardModule& m);
// Returns 0, 1 (busy) or the failing step -1..-5; `report` gets the report gathered so far.
std::int32_t GetCardSysInfo(TCardModule& m, std::string& report);
