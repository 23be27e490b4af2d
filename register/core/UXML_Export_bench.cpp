// Journal append per receipt: the journal writes of one sale (transaction frame, item list and
// hash, containers, request and response blocks), each sale flushed to disk as the register
// does, averaged over 1000 receipts. The pair goes to the folder "Journal" beside the program
// and is deleted afterwards.
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"
#include "register/core/TestRegisterHost.h"
#include "register/core/URegisterCore.h"
#include "register/core/UXML_Export.h"

namespace {

constexpr int Receipts = 1000;

class BenchHost : public TTestRegisterHost {
public:
    BenchHost() { rates.fill(0.19); }
};

void Journal(std::uint8_t target, std::string_view text)
{
    UXML_Export::WriteJournal(target, UXML_Export::KindPending, text);
}

// The journal writes of one signed sale of three items.
void OneReceipt(int n, const std::string& request, const std::string& response)
{
    using namespace UXML_Export;
    RegisterCore().ItemXml() = "<itemList><item><qnt>1</qnt><name>Brot</name><price1>199</price1></item><item><qnt>2"
                               "</qnt><name>Milch</name><price2>99</price2></item><item><qnt>1</qnt><name>Salz &amp; "
                               "Pfeffer</name><price1>349</price1></item></itemList>";
    Journal(JournalL, "<transaction>");
    Journal(JournalL, "<date>20090812</date>");
    Journal(JournalL, "<time>1430</time>");
    Journal(JournalL, "<operatorId>Anna</operatorId>");
    Journal(JournalS,
            "<transactionEncoded><itemListEncoded>oAExogRicm90sQIZnKABMqIFbWlsY2iyAhmYoAExog5TYWx6ICYgUGZlZmZlc"
            "rEDA0nA</itemListEncoded>");
    const std::uint8_t hash[20] = {static_cast<std::uint8_t>(n)};
    WriteItemHash(hash, 20);
    Journal(JournalL, "<currency>0978</currency>");
    Journal(JournalL, "<containerVat1><turnover>548</turnover><vat>87</vat><vatRate>1900</vatRate></containerVat1>"
                      "<containerVat2><turnover>198</turnover><vat>13</vat><vatRate>0700</vatRate></containerVat2>");
    WriteTransactionRequest(reinterpret_cast<const std::uint8_t*>(request.data()), static_cast<int>(request.size()));
    WriteTransactionResponse(response);
}

} // namespace

int main()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder = ExtractFilePath(path) + "Journal\\";
    const bool made = CreateDirectoryA(folder.c_str(), nullptr) != 0;

    TRegisterCore core;
    BenchHost host;
    core.SetHost(&host);
    core.Card().certificate = "Q0VSVA==";
    std::string request(70, '\x11');
    std::string response = "C4 0F 41 54 55 31 32 33 34 35 36 37 38 2D 51 53 4D C5 04 00 00 12 67 CB 01 05 9E 30";
    for (int i = 0; i < 48; ++i)
        response += " 5A";

    OneReceipt(0, request, response); // creates the pair
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int n = 1; n <= Receipts; ++n)
        OneReceipt(n, request, response);
    QueryPerformanceCounter(&end);
    const std::string l = core.Journal().datedLName, s = core.Journal().datedSName;
    UXML_Export::CloseJournal();
    DeleteFileA(l.c_str());
    DeleteFileA(s.c_str());

    // What one flush of a file to this disk costs by itself (a sale flushes two).
    const std::string scratch = folder + "flush_probe.tmp";
    LARGE_INTEGER flushStart, flushEnd;
    {
        TFileStream probe(scratch, fmCreate);
        QueryPerformanceCounter(&flushStart);
        for (int n = 0; n < Receipts; ++n) {
            probe.WriteBuffer(request.data(), request.size());
            probe.Flush();
        }
        QueryPerformanceCounter(&flushEnd);
    }
    DeleteFileA(scratch.c_str());
    if (made) RemoveDirectoryA(folder.c_str());

    const double ms =
        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("journal append per receipt, flushed to disk (average of %d): %.3f ms\n", Receipts, ms / Receipts);
    const double flushMs =
        1000.0 * static_cast<double>(flushEnd.QuadPart - flushStart.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("one file write and flush to disk alone (average of %d): %.3f ms\n", Receipts, flushMs / Receipts);
    return 0;
}
