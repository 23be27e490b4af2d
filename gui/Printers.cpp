#include "gui/Printers.h"

#include <winspool.h>

#include <vector>

#include "gui/base/SysUtils.h"

TPrinter* Printer()
{
    static TPrinter printer;
    return &printer;
}

TPrinter::~TPrinter()
{
    if (printing_) Abort();
}

void TPrinter::BeginDoc()
{
    if (printing_) throw EPrinter("Druckvorgang läuft bereits");
    std::string name = name_;
    if (name.empty()) {
        DWORD n = 0;
        GetDefaultPrinterA(nullptr, &n);
        std::vector<char> buf(n + 1, '\0');
        if (n && GetDefaultPrinterA(buf.data(), &n)) name = buf.data();
    }
    if (name.empty()) throw EPrinter("Kein Drucker gewählt");
    dc_.reset(CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr));
    if (!dc_) throw EPrinter("Drucker " + name + " ist nicht verfügbar");
    DOCINFOA di{};
    di.cbSize = sizeof di;
    di.lpszDocName = Title.empty() ? "Tillora" : Title.c_str();
    if (StartDocA(dc_.get(), &di) <= 0 || StartPage(dc_.get()) <= 0) {
        dc_.reset();
        throw EPrinter("Druckauftrag für " + name + " kann nicht begonnen werden");
    }
    canvas_.SetHandle(dc_.get());
    printing_ = true;
}

void TPrinter::NewPage()
{
    if (!printing_) throw EPrinter("Kein Druckvorgang");
    EndPage(dc_.get());
    StartPage(dc_.get());
}

void TPrinter::EndDoc()
{
    if (!printing_) throw EPrinter("Kein Druckvorgang");
    canvas_.SetHandle(nullptr);
    bool ok = EndPage(dc_.get()) > 0 && ::EndDoc(dc_.get()) > 0;
    dc_.reset();
    printing_ = false;
    if (!ok) throw EPrinter("Druckauftrag konnte nicht beendet werden");
}

void TPrinter::Abort()
{
    canvas_.SetHandle(nullptr);
    if (dc_) AbortDoc(dc_.get());
    dc_.reset();
    printing_ = false;
}

int TPrinter::PageWidth() const { return dc_ ? GetDeviceCaps(dc_.get(), HORZRES) : 0; }
int TPrinter::PageHeight() const { return dc_ ? GetDeviceCaps(dc_.get(), VERTRES) : 0; }
