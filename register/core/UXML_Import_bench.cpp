// Loading a product list of 10,000 items: LoadXmlFile and every NextProduct, as the register
// window fills its list. Prints the fastest and the median of 25 rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/base/Strings.h"
#include "register/core/UProdList_Export.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Import.h"

namespace {

constexpr int ItemCount = 10000;
constexpr int Rounds = 25;

// A list as the register writes it: names, units, one or two prices, some agency items.
std::string WriteList()
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string name = std::string(tmp) + "prodlist_bench_" + std::to_string(GetCurrentProcessId()) + ".xml";
    std::vector<std::unique_ptr<TProd>> products;
    TStringList entries;
    const char* units[] = {"Stk.", "kg", "Pkg.", "Fl.", "l"};
    for (int i = 0; i < ItemCount; ++i) {
        auto p = std::make_unique<TProd>();
        p->Name = "Artikel Nr. " + std::to_string(100000 + i) + " Größe " + std::to_string(i % 7);
        p->Unit = units[i % 5];
        p->Price(1 + i % 6) = 49 + (i * 37) % 5000;
        if (i % 4 == 0) p->Price(2) = 99 + i % 300;
        p->ThirdParty = i % 25 == 0;
        entries.AddObject(p->Name, p.get());
        products.push_back(std::move(p));
    }
    UProdList_Export::SaveProductList(name, entries);
    return name;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main()
{
    const std::string file = WriteList();
    TRegisterCore core;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    long long checksum = 0;
    for (int round = 0; round < Rounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        UXML_Import::LoadXmlFile(file);
        int count = 0;
        while (std::unique_ptr<TProd> p = UXML_Import::NextProduct()) {
            checksum += p->Price(1);
            ++count;
        }
        QueryPerformanceCounter(&end);
        if (count != ItemCount) {
            std::printf("product list: %d of %d items read\n", count, ItemCount);
            return 1;
        }
        times.push_back(Milliseconds(start, end, frequency));
    }
    UXML_Import::CloseXmlFile();
    DeleteFileA(file.c_str());
    std::sort(times.begin(), times.end());
    std::printf("product list %d items, load and read, fastest: %.2f ms\n", ItemCount, times.front());
    std::printf("product list %d items, load and read, median: %.2f ms\n", ItemCount, times[times.size() / 2]);
    return checksum == 0;
}
