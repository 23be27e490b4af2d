// What the register's windows ask of the card module (UCard) and the journals (UXML_Export)
// at start-up, in the dialogs and at the end, gathered in one place: the windows call these,
// and these call the core.
#pragma once

#include <string>

namespace UCardCalls {

// Selects the card application (3F00, then 1000); true when both selections succeeded.
bool SelectCardApplication();
// Reads the card's extended status; true when it was read. CardState and CardVersion then
// hold the status texts of the life cycle ("02" transport, "03" active) and the card version.
bool ReadCardStatus();
std::string CardState();
std::string CardVersion();
// The activation report with the PIN field (PinDataText); true on success. On failure the
// card module has told the user why.
bool ActivateQsm(const std::string& pinData);
bool DeactivateQsm();
bool ReadCertificate();

// Forgets the export journal pair and the pending journal texts.
void ResetJournal();
// Writes the export journal pair.
void FlushJournal();
// Ends both dated journals with their root element and closes them (the core's end step).
void CloseJournal();

} // namespace UCardCalls
