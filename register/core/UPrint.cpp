#include "register/core/UPrint.h"

#include <windows.h>
#include <winspool.h>

#include "gui/base/Handles.h"
#include "gui/base/Strings.h"
#include "gui/base/SysUtils.h"
#include "register/core/UQR.h"
#include "register/core/URangeCheck.h"

namespace UPrint {

namespace {

using namespace std::string_view_literals;

// The program's file name, the caption of its message boxes.
std::string ProgramTitle()
{
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFileName(std::string(path, n));
}

void ShowCannotOpen()
{
    const std::string text = std::string("kann Drucker mit Namen \"") + PrinterName + "\" nicht öffnen";
    MessageBoxA(GetActiveWindow(), text.c_str(), ProgramTitle().c_str(), MB_OK | MB_TASKMODAL);
}

void TrimEmptyLastLines(TStrings& memo)
{
    while (memo.Count() > 2 && memo.Get(memo.Count() - 1).empty())
        memo.Delete(memo.Count() - 1);
}

} // namespace

std::string BuildQrBlock(std::string_view text)
{
    if (text.size() > MaxQrText) RaiseRangeError();
    const std::size_t n = text.size() + 3;
    std::string block("\x1D\x28\x6B\x03\x00\x31\x45\x30"sv);
    block += "\x1D\x28\x6B"sv;
    block += static_cast<char>(n & 0xFF);
    block += static_cast<char>(n >> 8);
    block += "\x31\x50\x30"sv;
    block += text;
    block += "\x1D\x28\x6B\x03\x00\x31\x51\x30"sv;
    return block;
}

std::string BuildCentredQr() { return "\x1B\x61\x31" + BuildQrBlock(UQR::GetVerifyUrl()) + "\x1B\x61\x30"; }

void PrintReceipt(TStrings& memo)
{
    HANDLE opened = nullptr;
    if (!OpenPrinterA(const_cast<char*>(PrinterName), &opened, nullptr)) {
        ShowCannotOpen();
        return;
    }
    const TPrinterHandle printer(opened);

    TrimEmptyLastLines(memo);
    std::string job("\x1B\x74\x10\x1B\x43\x18"sv);
    job += memo.Text();
    job += "\r\n";
    job += BuildCentredQr();
    job += "\x1B\x00\x1D\x56\x41\x00"sv;

    DOC_INFO_1A doc{};
    doc.pDocName = const_cast<char*>(DocumentName);
    doc.pOutputFile = nullptr;
    doc.pDatatype = const_cast<char*>("RAW");
    if (!StartDocPrinterA(printer.get(), 1, reinterpret_cast<BYTE*>(&doc))) return;
    if (!StartPagePrinter(printer.get())) {
        EndDocPrinter(printer.get());
        return;
    }
    DWORD written = 0;
    WritePrinter(printer.get(), job.data(), static_cast<DWORD>(job.size()), &written);
    EndPagePrinter(printer.get());
    EndDocPrinter(printer.get());
}

} // namespace UPrint
