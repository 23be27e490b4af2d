// The register window "Kasse": the sale (product list, special-item editor, receipt memo with
// its line table, total, cancel, finish with the transaction and the QR picture), the two
// operators, the six VAT-rate panels, the clock labels, the report box, the product-list and
// journal menus and the receipt printing. It is the register core's host (VAT rates, operator
// name, tax mode, hash and signature blocks, new receipt).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/base/DateTime.h"
#include "register/core/UQR.h"
#include "register/core/URegisterCore.h"
#include "register/ui/UQRImage.h"
#include "register/ui/UReceiptLines.h"

class TsButton;
class TsCheckBox;
class TsEdit;
class TsLabel;
class TsListBox;
class TsPanel;
class TRadioButton;
class TGroupBox;
class TMemo;
class TCustomEdit;
class TMaskEdit;
class TMainMenu;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;
class TSaveDialog;
class TPrintDialog;
class TProd;
class TBitmap;

class TKassTip : public TForm, public IRegisterHost {
    GUI_CLASS(TKassTip, TForm)
    explicit TKassTip(TComponent* owner) : TForm(owner) {}
    ~TKassTip() override;
    // The core forgets its host before the window goes.
    void BeforeDestruction() override;

    // Operators and clock.
    TsLabel* BedLabel = nullptr;
    TGroupBox* BedienerBox = nullptr;
    TRadioButton* BedButton1 = nullptr;
    TRadioButton* BedButton2 = nullptr;
    TsEdit* BedName1 = nullptr;
    TsEdit* BedName2 = nullptr;
    TsLabel* TimeLabel = nullptr;
    TsLabel* DateLabel = nullptr;

    // The special-item editor.
    TGroupBox* ItemBox = nullptr;
    TsEdit* SpezMenge = nullptr;
    TsEdit* SpezEinheit = nullptr;
    TsEdit* SpezBez = nullptr;
    TsCheckBox* SpezRabattBox = nullptr;
    TsCheckBox* SpezGutBox = nullptr;
    TsPanel* ContainerPanel = nullptr;
    TsEdit* Pr1 = nullptr;
    TsEdit* Pr2 = nullptr;
    TsEdit* Pr3 = nullptr;
    TsEdit* Pr4 = nullptr;
    TsEdit* Pr5 = nullptr;
    TsEdit* Pr6 = nullptr;
    TsPanel* USS1 = nullptr;
    TsPanel* USS2 = nullptr;
    TsPanel* USS3 = nullptr;
    TsPanel* USS4 = nullptr;
    TsPanel* USS5 = nullptr;
    TsPanel* USS6 = nullptr;
    TsCheckBox* AgBox = nullptr;
    TsCheckBox* LiefBox = nullptr;
    TsButton* SpezAddButton = nullptr;
    TsButton* sButton1 = nullptr;

    // The product list.
    TGroupBox* ProdBox = nullptr;
    TsListBox* ProdListSel = nullptr;
    TMemo* StkMemo = nullptr;
    TsPanel* PreisEdit = nullptr;
    TsLabel* EinhLabel = nullptr;
    TsButton* ScanButton = nullptr;
    TsButton* StornoButton = nullptr;
    TGroupBox* RabABox = nullptr;
    TMaskEdit* RabA = nullptr;
    TsButton* RabButton = nullptr;
    TsButton* AufButton = nullptr;
    TsButton* ItemButton = nullptr;
    TsButton* ReportButton = nullptr;
    TTimer* PosTimer = nullptr;

    // The report box.
    TGroupBox* ReportBox = nullptr;
    TsLabel* CardStart = nullptr;
    TsListBox* MonthList = nullptr;
    TsButton* RepSyncButton = nullptr;
    TsButton* BerRepButton = nullptr;
    TsButton* TagButton = nullptr;
    TsCheckBox* TagRepCheckBox = nullptr;
    TsButton* ReportVerlButton = nullptr;

    // The receipt.
    TGroupBox* BelegBox = nullptr;
    TMemo* BelegMemo = nullptr;
    TsButton* SumButton = nullptr;
    TsButton* AbrButton = nullptr;
    TsButton* KassButton = nullptr;
    TImage* QRImage = nullptr;

    // Menus and dialogs.
    TMainMenu* KassMenu = nullptr;
    TMenuItem* Datei1 = nullptr;
    TMenuItem* Produktliste1 = nullptr;
    TMenuItem* Laden2 = nullptr;
    TMenuItem* Speichern3 = nullptr;
    TMenuItem* Speichernals1 = nullptr;
    TMenuItem* XMLExportNeu1 = nullptr;
    TMenuItem* XMLExportffnen1 = nullptr;
    TMenuItem* Belegdruck1 = nullptr;
    TMenuItem* Standard1 = nullptr;
    TMenuItem* EPSON1 = nullptr;
    TMenuItem* Belegspeichern1 = nullptr;
    TMenuItem* Optionen1 = nullptr;
    TMenuItem* Training1 = nullptr;
    TMenuItem* VerifikationaufQSM = nullptr;
    TMenuItem* Editiere1 = nullptr;
    TMenuItem* Beleg1 = nullptr;
    TMenuItem* SecText = nullptr;
    TMenuItem* SecQRCode = nullptr;
    TPopupMenu* ProdListMenu = nullptr;
    TMenuItem* Lschen1 = nullptr;
    TMenuItem* Speichern1 = nullptr;
    TMenuItem* Speichern2 = nullptr;
    TMenuItem* Laden1 = nullptr;
    TOpenDialog* CashOpenDialog = nullptr;
    TSaveDialog* SaveProdList = nullptr;
    TOpenDialog* XMLOpenDialog = nullptr;
    TSaveDialog* OpenBelegDialog = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;

    // The QR picture on the receipt memo, made at creation, hidden.
    TQRImage* QrOverlay = nullptr;

    // The next added item starts a new receipt (no receipt is open).
    bool NewReceiptPending = true;
    // The item the percentage buttons apply to (owned by the line table), or none.
    TProd* LastItem = nullptr;
    bool TrainingMode = false;
    // The quantity field holds the "1" set by hovering: a typed digit replaces it.
    bool QuantityFresh = true;
    // The report box stands in place of the product list.
    bool ReportMode = false;
    // The special-item editor is shown.
    bool EditorShown = false;
    // The product-list entry whose price and unit are shown, -1 for none.
    int ShownProductIndex = -1;
    // The product-list entry and mouse position of the last recorded move over the list.
    int HoverIndex = 0;
    int HoverX = 0;
    int HoverY = 0;
    // The memo's first visible line when the QR picture was drawn.
    int QrFirstLine = 0;
    // One entry per receipt memo line.
    TReceiptLineTable ReceiptLineItems;

    // The rate panel of class n (1..6): its caption is the rate in hundredths of a percent.
    TsPanel* RatePanel(int n) const;
    // The price key of class n (1..6).
    TsEdit* PriceEdit(int n) const;

    void FormCreate(TObject* Sender);
    // Unticks the main window's register switch, then writes the export journal pair.
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Writes the export journal pair.
    void FormDestroy(TObject* Sender);
    // Shows the QR picture on the receipt while the memo stands at the line it was drawn at.
    void FormPaint(TObject* Sender);

    // The sale. AddItem adds an item (the table takes it) or, with none, the selected product
    // with the quantity field's quantity; a new receipt starts when none is open.
    void AddItem(std::unique_ptr<TProd> item = nullptr);
    // Cancels the item at the memo's caret line (either line of a two-line item).
    void StornoItem();
    // The product at a random list index with a random quantity (1..maxQuantity; below 2:
    // maxQuantity itself).
    void AddRandomItem(int maxQuantity);
    // Operator 1 or 2 (other numbers: nothing).
    void SelectOperator(int n);
    // Totalled: Kassieren on, Summe off; else Kassieren off, Summe on.
    void SetSumState(bool totalled);
    // The product's fields into the special-item editor.
    void ShowInEditor(const TProd& item);
    // The price keys: digits, "-" and Backspace are typed, "+" adds the special item, every
    // other key is dropped (Key 0).
    void FilterPriceKey(char& Key);
    // Whether a card command (the transaction, the debug window's hold) is running: the sale's
    // actions are ignored until it ends.
    bool CardCommandRunning() const;
    // Holds showing and hiding the discount keys (RabABox), and the product list's selection by
    // AddRandomItem, back while it lives: only the last state asked for is made, the keys by
    // ShowHeldKeys, the selection by ShowCollected, both at the end of the hold. Each change of
    // the keys shows or hides a group of windows, which repaints much of the register window at
    // once; each selection costs the list a scroll and a change of its style. A mass run holds
    // them over the whole run and shows them before the windows can paint.
    class TKeysHold {
    public:
        explicit TKeysHold(TKassTip& register_);
        ~TKeysHold();
        TKeysHold(const TKeysHold&) = delete;
        TKeysHold& operator=(const TKeysHold&) = delete;

    private:
        TKassTip& register_;
    };
    void ShowHeldKeys();
    // Shows what a mass run holds back (the receipt's collected lines and its QR picture, the
    // register monitor's lines, the discount keys): before the windows paint or anything waits
    // for the user.
    void ShowCollected();

    // The receipt's lines.
    static std::string FormatReceiptLine(const std::string& text, const std::string& classes,
                                         const std::string& amount);
    static std::string FormatColumns(const std::string& a, const std::string& b, const std::string& c,
                                     const std::string& d);
    // Appends a memo line and records the item (or nothing) in the line table at its index; an
    // item line past the table raises the range error and nothing is written.
    void AddReceiptLine(const std::string& text, std::unique_ptr<TProd> item = nullptr);

    void ProdListSelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ProdListSelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ProdListSelKeyPress(TObject* Sender, char& Key);
    void PosTimerTimer(TObject* Sender);
    void ProdBoxMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void StkMemoMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void StkMemoKeyPress(TObject* Sender, char& Key);
    void SpezMengeKeyPress(TObject* Sender, char& Key);
    void Pr1KeyPress(TObject* Sender, char& Key);
    void Pr2KeyPress(TObject* Sender, char& Key);
    void Pr3KeyPress(TObject* Sender, char& Key);
    void Pr4KeyPress(TObject* Sender, char& Key);
    void Pr5KeyPress(TObject* Sender, char& Key);
    void Pr6KeyPress(TObject* Sender, char& Key);
    void ScanButtonClick(TObject* Sender);
    void StornoButtonClick(TObject* Sender);
    // Discount and surcharge: the last item's clone at the percentage in RabA.
    void RabButtonClick(TObject* Sender);
    void AufButtonClick(TObject* Sender);
    // The special item from the editor.
    void SpezAddButtonClick(TObject* Sender);
    // The item of the clicked receipt line into the editor.
    void BelegMemoClick(TObject* Sender);
    // Total; when the total is shown already, finish.
    void SumButtonClick(TObject* Sender);
    // Cancels the receipt.
    void AbrButtonClick(TObject* Sender);
    // Finishes the receipt: VAT table, transaction, receipt text, verification link, QR picture.
    void KassButtonClick(TObject* Sender);
    void BedName1Click(TObject* Sender);
    void BedName2Click(TObject* Sender);
    void Training1Click(TObject* Sender);
    // Ticks the debug window's verification switch with the menu item.
    void VerifikationaufQSMClick(TObject* Sender);
    // "Text" and "QRCode": never both off.
    void SecTextClick(TObject* Sender);
    void SecQRCodeClick(TObject* Sender);
    // "Editiere UStS": the VAT-rate dialog.
    void Editiere1Click(TObject* Sender);

    // The main window's clock tick: time in the long time format, date in the short date format.
    void ShowClock(TDateTime time, TDateTime date);
    // Training mode: the window yellow, else back to the button face (a skin refresh follows).
    void SetTraining(bool on);
    // Re-applies the training colour after a skin refresh.
    void ApplyTraining();
    // Positions and visibility of the boxes (product list or report box, editor, discount box).
    void ArrangePanels();
    // Refills the product list from the loaded product file (the list owns the products).
    void FillProductList();
    // Empties the product list and frees its products.
    void ClearProductList();

    // Report mode, the editor switch and the reports.
    void ItemButtonClick(TObject* Sender);
    // Enters report mode: the booked months are read when the list is empty; a new receipt.
    void ReportButtonClick(TObject* Sender);
    void ReportVerlButtonClick(TObject* Sender);
    // The daily report, signed while "mit Signatur" is ticked.
    void TagButtonClick(TObject* Sender);
    // The booked months into the month list and the card's first month into CardStart; a head
    // that is not six digits (year, month) raises the conversion error with the list empty.
    void RepSyncButtonClick(TObject* Sender);
    // The month list and CardStart from a booked-months text ("200908:" and a character per
    // month, its offset from the start month).
    void ShowBookedMonths(const std::string& s);
    // The span report from the first to the last selected month; nothing without a selection.
    void BerRepButtonClick(TObject* Sender);
    // A month-list entry: "+", the offset in 3 places, " | ", MM/yyyy of the start month plus
    // the offset ("+  5 | 01/2010" for 5 from 08/2009).
    static std::string FormatMonthEntry(int offset, int startMonth, int startYear);
    // A new receipt listing the card's status texts (after UCard::ReadCardStatus).
    void ShowCardStatus();
    // A new status receipt saying that the status could not be read.
    void ShowCardStatusFailure();

    // The product-list files in "Produkte\", the journal pair in "Export\", the receipt file.
    void ffnen1Click(TObject* Sender);
    void Speichern1Click(TObject* Sender);
    void Speichern2Click(TObject* Sender);
    void Lschen1Click(TObject* Sender);
    // The editor's item into the product list (the quantity text as it stands).
    void sLabelFX1Click(TObject* Sender);
    void XMLExportNeu1Click(TObject* Sender);
    void XMLExportffnen1Click(TObject* Sender);
    // The memo's text as it stands into a chosen file.
    void Belegspeichern1Click(TObject* Sender);
    // The special-item editor's fields as an item of the given quantity text.
    std::unique_ptr<TProd> ItemFromEditor(const std::string& quantity) const;

    // Printing: the receipt as a picture on a chosen printer, on the raw receipt printer.
    void Standard1Click(TObject* Sender);
    void EPSON1Click(TObject* Sender);
    void QRImageDblClick(TObject* Sender);
    // The receipt (the memo's text or its selection) drawn at font size 8 into a bitmap of
    // lines x 8 x 1.79 pixels' height with the QR picture at its bottom centre.
    std::unique_ptr<TBitmap> RenderReceipt(bool selectionOnly);

    // IRegisterHost.
    double GetVatRate(int vatClass) override;
    std::string GetOperatorName() override;
    bool IsTaxExclusive() override;
    void AddHashToReceipt(const std::uint8_t* data, int length, bool force) override;
    void AddSignatureToReceipt(const std::uint8_t* data, int length, bool force) override;
    void NewReceipt() override;
    void SetReceiptText(const std::string& text) override;
    void SetReceiptColor(std::int32_t color) override;

protected:
    const TFormBindings& Bindings() const override;

private:
    void Unregister();
    // Empties the memo (header line), the line table, the item list and the QR pictures.
    void ClearReceipt();
    // The receipt Closed: the next item starts a new one; Summe, Abbruch, Kassieren off.
    void CloseReceipt();
    // The memo line of the caret (behind the last line break: the last line).
    int CaretReceiptLine() const;
    // The item of a line: up over second lines to the item's first line; none for the header
    // and lines without an item.
    TProd* ItemOfLine(int line) const;
    // Hands the item's amounts for quantity q to the item list.
    void AddItemToList(const TProd& item, double q);
    // The key table of the quantity fields.
    void QuantityKey(TCustomEdit& field, char& Key);
    void AddPercentItem(const char* name, int sign);
    // An empty line, the status title and an empty line on a new receipt.
    void ShowCardStatusHead();
    // Closes the product file, writes the list into the file and loads it as the current one.
    void SaveProductsTo(const std::string& fileName);
    // The export journal pair chosen in "Export\", new or continued.
    void ChooseJournalPair(bool isNew);
    // The memo scrolled: shows or hides the QR picture.
    void BelegMemoWindowProc(TMessage& m, const TWndMethod& inherited);

    // Shows or hides the discount keys, or notes it while they are held.
    void SetDiscountKeysVisible(bool visible);

    // The finished receipt's QR picture is placed at the memo's caret once the memo shows its
    // lines: at once, or in a mass run when the windows may paint (placing it would show the
    // collected lines at every receipt). A new receipt drops a picture not placed yet.
    void ShowHeldQr();
    bool qrHeld_ = false;
    UQR::TQrSymbol heldQr_;

    bool cardCommand_ = false;
    int keysHeld_ = 0;
    bool discountKeysVisible_ = false;
    // The product AddRandomItem chose while held, not yet selected in the list (-1: none).
    int heldProduct_ = -1;
    void SelectProduct(int index);
    void ShowHeldSelection();
};

extern TKassTip* KassTip;
