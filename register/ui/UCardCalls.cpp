#include "register/ui/UCardCalls.h"

// Until the card module and the journal files are merged, the calls answer "failed" and write
// nothing.
namespace UCardCalls {

bool SelectCardApplication() { return false; }
bool ReadCardStatus() { return false; }
std::string CardState() { return std::string(); }
std::string CardVersion() { return std::string(); }
bool ActivateQsm(const std::string&) { return false; }
bool DeactivateQsm() { return false; }
bool ReadCertificate() { return false; }
void ResetJournal() {}
void FlushJournal() {}
void CloseJournal() {}

} // namespace UCardCalls
