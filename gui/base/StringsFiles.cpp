// String lists read from and written to files (through the file stream of Windows).
#include "gui/base/Strings.h"

#include "gui/base/Streams.h"

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    std::string data(static_cast<size_t>(f.Size()), '\0');
    if (!data.empty()) f.ReadBuffer(data.data(), data.size());
    SetText(data);
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    TFileStream f(fileName, fmCreate);
    std::string t = Text();
    if (!t.empty()) f.WriteBuffer(t.data(), t.size());
}
