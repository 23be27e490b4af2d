#include "register/core/UXML_Export.h"

namespace UXML_Export {

void WriteJournal(std::uint8_t target, std::uint8_t kind, std::string_view text)
{
    (void)target;
    (void)kind;
    (void)text;
}

} // namespace UXML_Export
