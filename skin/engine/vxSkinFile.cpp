// Loading a packed skin from its file, over the file system of Windows.
#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"
#include "skin/engine/vxSkinConvertor.h"

void LoadSkinFile(const std::string& fileName, std::unique_ptr<TvxSkinConvertor>& convertor, bool freePackedData)
{
    if (!FileExists(fileName)) return;
    if (convertor) convertor->Clear();
    else convertor = std::make_unique<TvxSkinConvertor>();
    auto packed = std::make_unique<TMemoryStream>();
    packed->LoadFromFile(fileName);
    convertor->SetPackedData(std::move(packed));
    convertor->Extract();
    if (freePackedData) convertor->FreePackedData();
}
