// The printer as a canvas: BeginDoc opens a print job on the chosen printer (the system's
// default until one is chosen), the canvas draws on its page, EndDoc prints it. A printer that
// fails raises EPrinter.
#pragma once

#include <string>

#include "gui/Graphics.h"

class TPrinter : public TObject {
    GUI_CLASS(TPrinter, TObject)
    TPrinter() = default;
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    const std::string& PrinterName() const { return name_; }
    void SetPrinterName(const std::string& name) { name_ = name; }
    std::string Title;
    void BeginDoc();
    void EndDoc();
    void Abort();
    void NewPage();
    bool Printing() const { return printing_; }
    TCanvas& Canvas() { return canvas_; }
    int PageWidth() const;
    int PageHeight() const;

private:
    std::string name_;
    TMemDC dc_;
    TCanvas canvas_;
    bool printing_ = false;
};

// The program's one printer.
TPrinter* Printer();
