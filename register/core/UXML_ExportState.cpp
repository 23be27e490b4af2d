// Making and freeing the journal module's state, apart from the journal routines: the core
// holds the state, and a program that holds the core but writes no journal (the windowless
// core tests) then links neither the routines nor the hashing and card code they reach.
#include "gui/base/Streams.h"
#include "register/core/UXML_Export.h"

namespace UXML_Export {

TJournalState::TJournalState() = default;
TJournalState::~TJournalState() = default;

} // namespace UXML_Export
