#include "skin/engine/sConst.h"

#include <map>

int sHScrollArrowWidth = 0;

const std::array<int, 53> PackageTextIds = {58992, 58991, 58990, 58981, 58980, 58979, 58978, 58977, 58976, 58970, 58964,
                                            58963, 58962, 58961, 58960, 58959, 58958, 58957, 58956, 58955, 58954, 58953,
                                            58952, 58951, 58950, 58949, 58948, 58947, 58946, 58945, 58944, 58943, 58942,
                                            58941, 58940, 58939, 58938, 58937, 58936, 58935, 58934, 58933, 58932, 58931,
                                            58930, 58929, 58928, 58927, 58926, 58925, 58924, 58911, 58910};

namespace {

std::map<int, std::string>& Texts()
{
    static std::map<int, std::string> texts;
    return texts;
}

int startCount = 0;

} // namespace

const std::string& PackageText(int id)
{
    static const std::string none;
    auto it = Texts().find(id);
    return it == Texts().end() ? none : it->second;
}

void LoadPackageTexts(HMODULE module)
{
    Texts().clear();
    for (int id : PackageTextIds) {
        char buffer[512];
        const int n = LoadStringA(module, static_cast<UINT>(id), buffer, sizeof buffer);
        Texts()[id] = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }
}

void PackageTextsStart()
{
    if (startCount++ > 0) return;
    sHScrollArrowWidth = GetSystemMetrics(SM_CXHSCROLL);
    LoadPackageTexts(GetModuleHandleA(nullptr));
}

void PackageTextsEnd()
{
    if (startCount == 0 || --startCount > 0) return;
    Texts().clear();
}
