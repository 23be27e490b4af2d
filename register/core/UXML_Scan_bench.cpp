// Host benchmark of the product-list reader: a list of 10,000 items in the file form the
// register writes, scanned and read product by product, natively.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "register/core/UXML_Scan.h"

namespace {

constexpr int ItemCount = 10000;

// Names, units, one or two prices, some agency items, as the register writes them.
std::string ListText()
{
    const char* units[] = {"Stk.", "kg", "Pkg.", "Fl.", "l"};
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information><version>1.0"
                       "</version></document-information><itemList>";
    for (int i = 0; i < ItemCount; ++i) {
        text += "<item><name>Artikel Nr. " + std::to_string(100000 + i) +
                " Gr\xF6\xDF"
                "e " +
                std::to_string(i % 7) + "</name><unit>" + units[i % 5] + "</unit>";
        const int n = 1 + i % 6;
        text += "<price" + std::to_string(n) + ">" + std::to_string(49 + (i * 37) % 5000) + "</price" +
                std::to_string(n) + ">";
        if (i % 4 == 0 && n != 2) text += "<price2>" + std::to_string(99 + i % 300) + "</price2>";
        if (i % 25 == 0) text += "<thirtparty />";
        text += "</item>";
    }
    return text + "</itemList></vantra>";
}

void BM_ProductListScanAndRead(benchmark::State& state)
{
    const std::string text = ListText();
    for (auto _ : state) {
        TXMLList list(text, "Bench.xml");
        int count = 0;
        while (std::unique_ptr<TProd> p = list.NextProduct())
            ++count;
        if (count != ItemCount) state.SkipWithError("wrong item count");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}
BENCHMARK(BM_ProductListScanAndRead)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
