#include "register/ui/UKassTip.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <exception>

#include "common/UTimeShares.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"
#include "register/core/UContainer.h"
#include "register/core/UConvert.h"
#include "register/core/UFormatColumns.h"
#include "register/core/UDebugHold.h"
#include "register/core/UFuncMon.h"
#include "register/core/UQR.h"
#include "register/core/UTransaction.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Import.h"
#include "register/core/URangeCheck.h"
#include "register/ui/UDebugForm.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UInitForm.h"
#include "register/ui/UMainF.h"
#include "register/ui/UQRDraw.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

TKassTip* KassTip = nullptr;

namespace {

constexpr TColor TrainingColor = 65535; // pure yellow
// The QR picture's width and height in pixels (one pixel a module).
constexpr int QrPictureSide = 60;

// a + b, raising the overflow error outside 32 bits.
int CheckedAdd(int a, int b)
{
    int r = 0;
    if (__builtin_add_overflow(a, b, &r)) throw EIntOverflow();
    return r;
}

} // namespace

TKassTip::~TKassTip()
{
    Unregister();
    if (KassTip == this) KassTip = nullptr;
}

void TKassTip::BeforeDestruction()
{
    Unregister();
    if (ProdListSel) ClearProductList();
    TForm::BeforeDestruction();
}

void TKassTip::Unregister()
{
    TRegisterCore* core = TRegisterCore::Current();
    if (core && core->HasHost() && &core->Host() == this) core->SetHost(nullptr);
}

const TFormBindings& TKassTip::Bindings() const
{
    static const TFormBindings b = {
        {"BedLabel", &TKassTip::BedLabel},
        {"BedienerBox", &TKassTip::BedienerBox},
        {"BedButton1", &TKassTip::BedButton1},
        {"BedButton2", &TKassTip::BedButton2},
        {"BedName1", &TKassTip::BedName1},
        {"BedName2", &TKassTip::BedName2},
        {"TimeLabel", &TKassTip::TimeLabel},
        {"DateLabel", &TKassTip::DateLabel},
        {"ItemBox", &TKassTip::ItemBox},
        {"SpezMenge", &TKassTip::SpezMenge},
        {"SpezEinheit", &TKassTip::SpezEinheit},
        {"SpezBez", &TKassTip::SpezBez},
        {"SpezRabattBox", &TKassTip::SpezRabattBox},
        {"SpezGutBox", &TKassTip::SpezGutBox},
        {"ContainerPanel", &TKassTip::ContainerPanel},
        {"Pr1", &TKassTip::Pr1},
        {"Pr2", &TKassTip::Pr2},
        {"Pr3", &TKassTip::Pr3},
        {"Pr4", &TKassTip::Pr4},
        {"Pr5", &TKassTip::Pr5},
        {"Pr6", &TKassTip::Pr6},
        {"USS1", &TKassTip::USS1},
        {"USS2", &TKassTip::USS2},
        {"USS3", &TKassTip::USS3},
        {"USS4", &TKassTip::USS4},
        {"USS5", &TKassTip::USS5},
        {"USS6", &TKassTip::USS6},
        {"AgBox", &TKassTip::AgBox},
        {"LiefBox", &TKassTip::LiefBox},
        {"SpezAddButton", &TKassTip::SpezAddButton},
        {"sButton1", &TKassTip::sButton1},
        {"ProdBox", &TKassTip::ProdBox},
        {"ProdListSel", &TKassTip::ProdListSel},
        {"StkMemo", &TKassTip::StkMemo},
        {"PreisEdit", &TKassTip::PreisEdit},
        {"EinhLabel", &TKassTip::EinhLabel},
        {"ScanButton", &TKassTip::ScanButton},
        {"StornoButton", &TKassTip::StornoButton},
        {"RabABox", &TKassTip::RabABox},
        {"RabA", &TKassTip::RabA},
        {"RabButton", &TKassTip::RabButton},
        {"AufButton", &TKassTip::AufButton},
        {"ItemButton", &TKassTip::ItemButton},
        {"ReportButton", &TKassTip::ReportButton},
        {"PosTimer", &TKassTip::PosTimer},
        {"ReportBox", &TKassTip::ReportBox},
        {"CardStart", &TKassTip::CardStart},
        {"MonthList", &TKassTip::MonthList},
        {"RepSyncButton", &TKassTip::RepSyncButton},
        {"BerRepButton", &TKassTip::BerRepButton},
        {"TagButton", &TKassTip::TagButton},
        {"TagRepCheckBox", &TKassTip::TagRepCheckBox},
        {"ReportVerlButton", &TKassTip::ReportVerlButton},
        {"BelegBox", &TKassTip::BelegBox},
        {"BelegMemo", &TKassTip::BelegMemo},
        {"SumButton", &TKassTip::SumButton},
        {"AbrButton", &TKassTip::AbrButton},
        {"KassButton", &TKassTip::KassButton},
        {"QRImage", &TKassTip::QRImage},
        {"KassMenu", &TKassTip::KassMenu},
        {"Datei1", &TKassTip::Datei1},
        {"Produktliste1", &TKassTip::Produktliste1},
        {"Laden2", &TKassTip::Laden2},
        {"Speichern3", &TKassTip::Speichern3},
        {"Speichernals1", &TKassTip::Speichernals1},
        {"XMLExportNeu1", &TKassTip::XMLExportNeu1},
        {"XMLExportffnen1", &TKassTip::XMLExportffnen1},
        {"Belegdruck1", &TKassTip::Belegdruck1},
        {"Standard1", &TKassTip::Standard1},
        {"EPSON1", &TKassTip::EPSON1},
        {"Belegspeichern1", &TKassTip::Belegspeichern1},
        {"Optionen1", &TKassTip::Optionen1},
        {"Training1", &TKassTip::Training1},
        {"VerifikationaufQSM", &TKassTip::VerifikationaufQSM},
        {"Editiere1", &TKassTip::Editiere1},
        {"Beleg1", &TKassTip::Beleg1},
        {"SecText", &TKassTip::SecText},
        {"SecQRCode", &TKassTip::SecQRCode},
        {"ProdListMenu", &TKassTip::ProdListMenu},
        {"Lschen1", &TKassTip::Lschen1},
        {"Speichern1", &TKassTip::Speichern1},
        {"Speichern2", &TKassTip::Speichern2},
        {"Laden1", &TKassTip::Laden1},
        {"CashOpenDialog", &TKassTip::CashOpenDialog},
        {"SaveProdList", &TKassTip::SaveProdList},
        {"XMLOpenDialog", &TKassTip::XMLOpenDialog},
        {"OpenBelegDialog", &TKassTip::OpenBelegDialog},
        {"PrintDialog1", &TKassTip::PrintDialog1},
        {"FormCreate", &TKassTip::FormCreate},
        {"FormClose", &TKassTip::FormClose},
        {"FormDestroy", &TKassTip::FormDestroy},
        {"Editiere1Click", &TKassTip::Editiere1Click},
        {"FormPaint", &TKassTip::FormPaint},
        {"ProdListSelMouseMove", &TKassTip::ProdListSelMouseMove},
        {"ProdListSelMouseDown", &TKassTip::ProdListSelMouseDown},
        {"ProdListSelKeyPress", &TKassTip::ProdListSelKeyPress},
        {"PosTimerTimer", &TKassTip::PosTimerTimer},
        {"ProdBoxMouseMove", &TKassTip::ProdBoxMouseMove},
        {"FormMouseMove", &TKassTip::FormMouseMove},
        {"StkMemoMouseMove", &TKassTip::StkMemoMouseMove},
        {"StkMemoKeyPress", &TKassTip::StkMemoKeyPress},
        {"SpezMengeKeyPress", &TKassTip::SpezMengeKeyPress},
        {"Pr1KeyPress", &TKassTip::Pr1KeyPress},
        {"Pr2KeyPress", &TKassTip::Pr2KeyPress},
        {"Pr3KeyPress", &TKassTip::Pr3KeyPress},
        {"Pr4KeyPress", &TKassTip::Pr4KeyPress},
        {"Pr5KeyPress", &TKassTip::Pr5KeyPress},
        {"Pr6KeyPress", &TKassTip::Pr6KeyPress},
        {"ScanButtonClick", &TKassTip::ScanButtonClick},
        {"StornoButtonClick", &TKassTip::StornoButtonClick},
        {"RabButtonClick", &TKassTip::RabButtonClick},
        {"AufButtonClick", &TKassTip::AufButtonClick},
        {"SpezAddButtonClick", &TKassTip::SpezAddButtonClick},
        {"BelegMemoClick", &TKassTip::BelegMemoClick},
        {"SumButtonClick", &TKassTip::SumButtonClick},
        {"AbrButtonClick", &TKassTip::AbrButtonClick},
        {"KassButtonClick", &TKassTip::KassButtonClick},
        {"BedName1Click", &TKassTip::BedName1Click},
        {"BedName2Click", &TKassTip::BedName2Click},
        {"Training1Click", &TKassTip::Training1Click},
        {"VerifikationaufQSMClick", &TKassTip::VerifikationaufQSMClick},
        {"SecTextClick", &TKassTip::SecTextClick},
        {"SecQRCodeClick", &TKassTip::SecQRCodeClick},
        {"ItemButtonClick", &TKassTip::ItemButtonClick},
        {"ReportButtonClick", &TKassTip::ReportButtonClick},
        {"ReportVerlButtonClick", &TKassTip::ReportVerlButtonClick},
        {"TagButtonClick", &TKassTip::TagButtonClick},
        {"RepSyncButtonClick", &TKassTip::RepSyncButtonClick},
        {"BerRepButtonClick", &TKassTip::BerRepButtonClick},
        {"ffnen1Click", &TKassTip::ffnen1Click},
        {"Speichern1Click", &TKassTip::Speichern1Click},
        {"Speichern2Click", &TKassTip::Speichern2Click},
        {"Lschen1Click", &TKassTip::Lschen1Click},
        {"sLabelFX1Click", &TKassTip::sLabelFX1Click},
        {"XMLExportNeu1Click", &TKassTip::XMLExportNeu1Click},
        {"XMLExportffnen1Click", &TKassTip::XMLExportffnen1Click},
        {"Belegspeichern1Click", &TKassTip::Belegspeichern1Click},
        {"Standard1Click", &TKassTip::Standard1Click},
        {"EPSON1Click", &TKassTip::EPSON1Click},
        {"QRImageDblClick", &TKassTip::QRImageDblClick},
    };
    return b;
}

TsPanel* TKassTip::RatePanel(int n) const
{
    const std::array<TsPanel*, 6> panels = {USS1, USS2, USS3, USS4, USS5, USS6};
    return panels.at(static_cast<size_t>(n - 1));
}

TsEdit* TKassTip::PriceEdit(int n) const
{
    const std::array<TsEdit*, 6> edits = {Pr1, Pr2, Pr3, Pr4, Pr5, Pr6};
    return edits.at(static_cast<size_t>(n - 1));
}

void TKassTip::FormCreate(TObject*)
{
    ReportMode = false;
    EditorShown = false;
    QrOverlay = new TQRImage(this);
    QrOverlay->SetName("QrOverlay");
    QrOverlay->SetVisible(false);
    QrOverlay->SetBounds(0, 0, QRImage->Width(), QRImage->Height());
    QrOverlay->SetParent(BelegMemo);
    ArrangePanels();
    FillProductList();
    HoverIndex = HoverX = HoverY = 0;
    ReceiptLineItems.Clear();
    NewReceiptPending = true;
    TrainingMode = false;
    QuantityFresh = true;
    LastItem = nullptr;
    RegisterCore().SetHost(this);
    UContainer::ResetItemList();
    StkMemo->SetText("1");
    BelegMemo->HookWindowProc([this](TMessage& m, const TWndMethod& inherited) { BelegMemoWindowProc(m, inherited); });
    // The memo's own painting leaves the QR picture on it alone.
    const HWND memo = BelegMemo->Handle();
    SetWindowLongPtrA(memo, GWL_STYLE, GetWindowLongPtrA(memo, GWL_STYLE) | WS_CLIPCHILDREN);
}

void TKassTip::ArrangePanels()
{
    ProdBox->SetLeft(EditorShown && !ReportMode ? CheckedAdd(CheckedAdd(ItemBox->Left(), ItemBox->Width()), 5) : 1);
    BelegBox->SetLeft(CheckedAdd(CheckedAdd(ProdBox->Left(), ProdBox->Width()), 5));
    SetBounds(Left(), Top(), CheckedAdd(CheckedAdd(BelegBox->Left(), BelegBox->Width()), 15),
              CheckedAdd(CheckedAdd(BelegBox->Top(), BelegBox->Height()), 60));
    ReportBox->SetBounds(ProdBox->Left(), ProdBox->Top(), ProdBox->Width(), ProdBox->Height());
    DateLabel->SetLeft(BelegBox->Left() - DateLabel->Width() - 120);
    TimeLabel->SetLeft(DateLabel->Left() - TimeLabel->Width() - 10);
    BedienerBox->SetLeft(CheckedAdd(BelegBox->Left(), BelegBox->Width()) - BedienerBox->Width());
    BedLabel->SetLeft(BelegBox->Left());
    SetDiscountKeysVisible(LastItem != nullptr);
    ProdBox->SetVisible(!ReportMode);
    ReportBox->SetVisible(!ProdBox->Visible());
    ItemBox->SetVisible(EditorShown && !ReportMode);
    VerifikationaufQSM->SetVisible(!ReportMode);
    ReapplySkin();
}

void TKassTip::FillProductList()
{
    ShownProductIndex = -1;
    UXML_Import::ResetItemCursor();
    ClearProductList();
    TStrings& items = ProdListSel->Items();
    while (std::unique_ptr<TProd> p = UXML_Import::NextProduct()) {
        const std::string name = p->Name;
        items.AddObject(name, p.release());
    }
}

void TKassTip::ClearProductList()
{
    TStrings& items = ProdListSel->Items();
    for (int i = 0; i < items.Count(); ++i)
        delete items.Objects(i);
    items.Clear();
}

void TKassTip::FormClose(TObject*, TCloseAction& Action)
{
    Action = caHide;
    if (MainF) MainF->KassBox->SetChecked(false);
    UXML_Export::FlushJournal();
}

void TKassTip::FormDestroy(TObject*) { UXML_Export::FlushJournal(); }

void TKassTip::Editiere1Click(TObject*)
{
    if (FormUStS) FormUStS->Show();
}

void TKassTip::Training1Click(TObject*)
{
    Training1->SetChecked(!Training1->Checked());
    SetTraining(Training1->Checked());
}

void TKassTip::VerifikationaufQSMClick(TObject*)
{
    VerifikationaufQSM->SetChecked(!VerifikationaufQSM->Checked());
    if (DebugForm) DebugForm->CheckVer->SetChecked(VerifikationaufQSM->Checked());
}

void TKassTip::SecTextClick(TObject*)
{
    if (SecText->Checked()) SecQRCode->SetChecked(true);
    SecText->SetChecked(!SecText->Checked());
}

void TKassTip::SecQRCodeClick(TObject*)
{
    if (SecQRCode->Checked()) SecText->SetChecked(true);
    SecQRCode->SetChecked(!SecQRCode->Checked());
}

void TKassTip::BedName1Click(TObject*) { SelectOperator(1); }
void TKassTip::BedName2Click(TObject*) { SelectOperator(2); }

void TKassTip::SelectOperator(int n)
{
    if (n == 1) BedButton1->SetChecked(true);
    else if (n == 2) BedButton2->SetChecked(true);
}

void TKassTip::ShowClock(TDateTime time, TDateTime date)
{
    TimeLabel->SetCaption(TimeToStr(time));
    DateLabel->SetCaption(DateToStr(date));
}

void TKassTip::SetTraining(bool on)
{
    TrainingMode = on;
    if (on) {
        SetColor(TrainingColor);
    } else if (Color() == TrainingColor) {
        SetColor(clBtnFace);
        ReapplySkin();
    }
}

void TKassTip::ApplyTraining()
{
    if (TrainingMode) SetColor(TrainingColor);
}

double TKassTip::GetVatRate(int vatClass)
{
    if (vatClass < 1 || vatClass > 6) return 0;
    return StrToIntDef(RatePanel(vatClass)->Caption(), 0) / 10000.0;
}

std::string TKassTip::GetOperatorName() { return BedButton1->Checked() ? BedName1->Text() : BedName2->Text(); }

bool TKassTip::IsTaxExclusive() { return FormUStS && FormUStS->exSteuerBox->Checked(); }

// ---------------------------------------------------------------------------------------------
// The receipt

std::string TKassTip::FormatReceiptLine(const std::string& text, const std::string& classes, const std::string& amount)
{
    return ::FormatReceiptLine(text, classes, amount);
}

std::string TKassTip::FormatColumns(const std::string& a, const std::string& b, const std::string& c,
                                    const std::string& d)
{
    return ::FormatColumns(a, b, c, d);
}

void TKassTip::AddReceiptLine(const std::string& text, std::unique_ptr<TProd> item)
{
    const int line = BelegMemo->Lines().Count();
    if (item && line >= ReceiptLineCount) RaiseRangeError();
    BelegMemo->Lines().Add(text);
    if (line < ReceiptLineCount) ReceiptLineItems.SetItem(line, item);
}

void TKassTip::ClearReceipt()
{
    BelegMemo->SetColor(clWindow);
    ReceiptLineItems.Clear();
    LastItem = nullptr;
    SetDiscountKeysVisible(false);
    UContainer::ResetItemList();
    {
        // Hiding the picture would repaint the memo, scroll bars and all, at once.
        TQuietChange quiet(BelegMemo->Handle());
        BelegMemo->SetText(std::string(13, ' ') + ULang::GetText(12));
        QrOverlay->Picture().Clear();
        QrOverlay->SetVisible(false);
    }
    qrHeld_ = false;
    QRImage->Picture().Clear();
    SumButton->SetEnabled(false);
}

void TKassTip::CloseReceipt()
{
    NewReceiptPending = true;
    // Every key off, each changed once (a skinned key repaints at once whenever it changes).
    KassButton->SetEnabled(false);
    SumButton->SetEnabled(false);
    AbrButton->SetEnabled(false);
}

void TKassTip::NewReceipt()
{
    ClearReceipt();
    CloseReceipt();
}

void TKassTip::SetReceiptText(const std::string& text) { BelegMemo->SetText(text); }

void TKassTip::SetReceiptColor(std::int32_t color) { BelegMemo->SetColor(static_cast<TColor>(color)); }

void TKassTip::SetSumState(bool totalled)
{
    KassButton->SetEnabled(totalled);
    SumButton->SetEnabled(!totalled);
}

TKassTip::TKeysHold::TKeysHold(TKassTip& register_) : register_(register_)
{
    if (register_.keysHeld_++ == 0) register_.discountKeysVisible_ = register_.RabABox->Visible();
}

TKassTip::TKeysHold::~TKeysHold()
{
    register_.ShowHeldKeys();
    register_.ShowHeldSelection();
    --register_.keysHeld_;
}

void TKassTip::SelectProduct(int index)
{
    if (keysHeld_ > 0) {
        heldProduct_ = index;
        return;
    }
    // The list scrolls to the product: shown when the window paints next, not at once.
    TQuietChange quiet(ProdListSel->Handle());
    ProdListSel->SetItemIndex(index);
}

void TKassTip::ShowHeldSelection()
{
    if (heldProduct_ < 0) return;
    const int index = heldProduct_;
    heldProduct_ = -1;
    TQuietChange quiet(ProdListSel->Handle());
    ProdListSel->SetItemIndex(index);
}

void TKassTip::ShowHeldKeys()
{
    if (keysHeld_ > 0) RabABox->SetVisible(discountKeysVisible_);
}

void TKassTip::SetDiscountKeysVisible(bool visible)
{
    discountKeysVisible_ = visible;
    if (keysHeld_ == 0) RabABox->SetVisible(visible);
}

bool TKassTip::CardCommandRunning() const
{
    const TRegisterCore* core = TRegisterCore::Current();
    return cardCommand_ || (core && core->Holding());
}

int TKassTip::CaretReceiptLine() const
{
    // The caret stands behind the lines a mass run has collected only once they are shown.
    BelegMemo->ApplyCollected();
    int line = BelegMemo->CaretLine();
    if (line == BelegMemo->Lines().Count()) --line;
    if (line >= ReceiptLineCount) RaiseRangeError();
    return line;
}

TProd* TKassTip::ItemOfLine(int line) const
{
    while (line >= 1 && ReceiptLineItems.KindAt(line) == TReceiptLineTable::SecondLineSentinel)
        --line;
    if (line < 1) return nullptr;
    return ReceiptLineItems.ItemAt(line);
}

void TKassTip::AddItemToList(const TProd& item, double q)
{
    UContainer::TAmounts amounts;
    for (int n = 1; n <= 8; ++n)
        amounts[static_cast<size_t>(n - 1)] = item.GetAmountText(n, q);
    UContainer::AddItemData(FloatToStrG(item.Quantity, 15), item.Unit, item.Name, item.DiscountSurcharge, item.Voucher,
                            IsTaxExclusive(), amounts);
}

void TKassTip::AddItem(std::unique_ptr<TProd> item)
{
    if (CardCommandRunning()) return;
    if (!item) {
        const int index = ProdListSel->GetItemIndex();
        if (index < 0) return;
        const auto* product = dynamic_cast<const TProd*>(ProdListSel->Items().Objects(index));
        if (!product) return;
        item = product->Clone();
        item->Quantity = StrToFloat(StkMemo->Text());
    }
    // Everything that can fail is worked out before the receipt changes.
    const TItemLines lines = ItemLines(*item, false);
    UContainer::TAmounts amounts;
    for (int n = 1; n <= 8; ++n)
        amounts[static_cast<size_t>(n - 1)] = item->GetAmountText(n, item->Quantity);
    if (!NewReceiptPending && BelegMemo->Lines().Count() + (lines.twoLines ? 1 : 0) >= ReceiptLineCount)
        RaiseRangeError();

    if (NewReceiptPending) {
        NewReceiptPending = false;
        // Cleared first: a skinned key repaints at once whenever its state changes, and the
        // clearing would turn "Summe" off again.
        ClearReceipt();
        AbrButton->SetEnabled(true);
        SumButton->SetEnabled(true);
    }
    SetSumState(false);
    UContainer::AddItemData(FloatToStrG(item->Quantity, 15), item->Unit, item->Name, item->DiscountSurcharge,
                            item->Voucher, IsTaxExclusive(), amounts);
    TProd* added = item.get();
    TStringsUpdate update(BelegMemo->Lines());
    AddReceiptLine(lines.first, std::move(item));
    if (lines.twoLines) {
        BelegMemo->Lines().Add(lines.second);
        ReceiptLineItems.SetSecondLine(BelegMemo->Lines().Count() - 1);
    }
    LastItem = added;
    // The quantity back at "1": a field showing "1" as setting it leaves it (caret at the start,
    // not typed in) stays alone, since each change of its text costs window-server round trips.
    if (StkMemo->Text() != "1" || StkMemo->SelStart() != 0 || StkMemo->SelLength() != 0 || StkMemo->Modified())
        StkMemo->SetText("1");
    SetDiscountKeysVisible(true);
}

void TKassTip::StornoItem()
{
    // A finished receipt is signed: nothing can be cancelled on it any more.
    if (NewReceiptPending || CardCommandRunning()) return;
    const TProd* item = ItemOfLine(CaretReceiptLine());
    if (!item) return;
    const TItemLines lines = ItemLines(*item, true);
    UContainer::TAmounts amounts;
    for (int n = 1; n <= 8; ++n)
        amounts[static_cast<size_t>(n - 1)] = item->GetAmountText(n, -item->Quantity);
    UContainer::AddItemData(FloatToStrG(item->Quantity, 15), item->Unit, item->Name, item->DiscountSurcharge,
                            item->Voucher, IsTaxExclusive(), amounts);
    {
        TStringsUpdate update(BelegMemo->Lines());
        AddReceiptLine(lines.first);
        if (lines.twoLines) AddReceiptLine(lines.second);
    }
    // The total shown no longer holds: "Summe" must be pressed again.
    SetSumState(false);
}

void TKassTip::AddPercentItem(const char* name, int sign)
{
    if (!LastItem || CardCommandRunning()) return;
    std::unique_ptr<TProd> item = LastItem->Clone();
    item->Name = name;
    item->ApplyPercent(StrToInt(RabA->Text()) * 100 * sign);
    AddItem(std::move(item));
    LastItem = nullptr;
    SetDiscountKeysVisible(false);
}

void TKassTip::RabButtonClick(TObject*) { AddPercentItem("Rabatt", 1); }
void TKassTip::AufButtonClick(TObject*) { AddPercentItem("Aufschlag", -1); }

void TKassTip::SpezAddButtonClick(TObject*)
{
    std::string quantity = SpezMenge->Text();
    const size_t point = quantity.find('.');
    if (point != std::string::npos) {
        quantity[point] = ',';
        SpezMenge->SetText(quantity);
    }
    AddItem(ItemFromEditor(quantity));
}

void TKassTip::AddRandomItem(int maxQuantity)
{
    TRandom& random = RegisterCore().Random();
    const int count = ProdListSel->GetCount();
    const int index = static_cast<int>(random.Next(static_cast<std::uint32_t>(count)));
    SelectProduct(index);
    const int quantity =
        maxQuantity < 2 ? maxQuantity : static_cast<int>(random.Next(static_cast<std::uint32_t>(maxQuantity))) + 1;
    // The quantity goes to the item directly: put into the quantity field it would be read back
    // and the field set to 1 again, each a text change the field paints at once. Only an item
    // that is refused leaves its quantity in the field, as a key press would.
    const auto* product = index < count ? dynamic_cast<const TProd*>(ProdListSel->Items().Objects(index)) : nullptr;
    if (!product || CardCommandRunning()) {
        ShowHeldSelection();
        StkMemo->SetText(IntToStr(quantity));
        AddItem();
        return;
    }
    std::unique_ptr<TProd> item = product->Clone();
    item->Quantity = quantity;
    try {
        AddItem(std::move(item));
    } catch (...) {
        StkMemo->SetText(IntToStr(quantity));
        throw;
    }
}

void TKassTip::SumButtonClick(TObject*)
{
    if (CardCommandRunning()) return;
    LastItem = nullptr;
    SetDiscountKeysVisible(false);
    if (NewReceiptPending) return;
    if (KassButton->Enabled()) {
        KassButtonClick(this);
        return;
    }
    {
        TStringsUpdate update(BelegMemo->Lines());
        BelegMemo->Lines().Add(std::string(41, '_'));
        BelegMemo->Lines().Add(
            FormatReceiptLine(ULang::GetText(10), " ", UConvert::CentsToMoneyText(UContainer::GetReceiptTotal())));
        BelegMemo->Lines().Add(" ");
    }
    SetSumState(true);
}

void TKassTip::AbrButtonClick(TObject*)
{
    if (CardCommandRunning()) return;
    {
        TStringsUpdate update(BelegMemo->Lines());
        BelegMemo->Lines().Add(" ");
        BelegMemo->Lines().Add("###" + ULang::GetText(11) + "###");
    }
    UContainer::ResetItemList();
    LastItem = nullptr;
    CloseReceipt();
    SetDiscountKeysVisible(false);
}

void TKassTip::KassButtonClick(TObject*)
{
    // Never an empty transaction, never one inside another card command.
    if (NewReceiptPending || CardCommandRunning()) return;
    TStrings& lines = BelegMemo->Lines();
    {
        // The VAT table as one block; the card's lines follow as the transaction goes.
        TStringsUpdate update(lines);
        lines.Add(FormatColumns(ULang::GetText(4), " " + ULang::GetText(5), " " + ULang::GetText(2),
                                " " + ULang::GetText(6)));
        for (int n = 1; n <= 6; ++n) {
            const std::string line = UContainer::FormatContainerLine(n, IsTaxExclusive());
            if (!line.empty()) lines.Add(line);
        }
        lines.Add(" ");
    }
    // What the receipt holds so far shows before the card is asked when the debug window may
    // hold a command for the user; otherwise it shows with the card's lines, as one edit.
    if (UDebugHold::GetCheckHash() || UDebugHold::GetCheckVer() || UDebugHold::GetCheckTrans() ||
        UDebugHold::GetCheckManVer())
        ShowCollected();
    else ShowHeldKeys();
    std::exception_ptr failure;
    cardCommand_ = true;
    try {
        UTransaction::SendTransaction(TrainingMode, IsTaxExclusive());
    } catch (...) {
        failure = std::current_exception();
    }
    cardCommand_ = false;
    {
        // The result line and the room for the QR picture as one edit.
        TStringsUpdate update(lines);
        // The receipt is finished in any case.
        if (!UTransaction::TransactionText().empty()) lines.Add(UTransaction::TransactionText());
        UContainer::ResetItemList();
        LastItem = nullptr;
        CloseReceipt();
        SetDiscountKeysVisible(false);
        std::string url;
        UQR::BuildVerifyUrl(url);
        if (SecQRCode->Checked()) {
            // A symbol larger than the picture would be cut: the picture grows to hold it with a
            // margin of four modules.
            UQR::TQrSymbol symbol;
            const int side = UQR::QrSymbolOf(url, symbol) ? std::max(QrPictureSide, symbol.size + 8) : QrPictureSide;
            QRImage->SetBounds(QRImage->Left(), QRImage->Top(), side, side);
            qrHeld_ = UQR::AddQrRoom(*BelegMemo, symbol);
            if (qrHeld_) heldQr_ = std::move(symbol);
            else QRImage->Picture().Clear();
        }
    }
    if (!BelegMemo->Updating()) {
        ShowHeldQr();
        QrFirstLine = BelegMemo->FirstVisibleLine();
    }
    if (failure) std::rethrow_exception(failure);
}

void TKassTip::ShowHeldQr()
{
    if (!qrHeld_) return;
    qrHeld_ = false;
    UQR::ShowQrCode(*QRImage, *BelegMemo, *QrOverlay, heldQr_);
    QrFirstLine = BelegMemo->FirstVisibleLine();
}

void TKassTip::ShowCollected()
{
    BelegMemo->ApplyCollected();
    ShowHeldQr();
    UFuncMon::ShowMonitorNow();
    ShowHeldKeys();
    ShowHeldSelection();
}

void TKassTip::FormPaint(TObject*)
{
    const bool show = !QrOverlay->Picture().Empty() && BelegMemo->FirstVisibleLine() == QrFirstLine;
    if (QrOverlay->Visible() != show) QrOverlay->SetVisible(show);
}

void TKassTip::BelegMemoWindowProc(TMessage& m, const TWndMethod& inherited)
{
    UTimeShares::TTimeShare share(UTimeShares::ReceiptMemo);
    inherited(m);
    switch (m.Msg) {
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
        // The memo may have scrolled: the window's paint decides about the QR picture.
        Invalidate();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Hash and signature blocks

void TKassTip::AddHashToReceipt(const std::uint8_t* data, int length, bool force)
{
    if (!(SecText->Checked() || force)) return;
    TStringsUpdate update(BelegMemo->Lines());
    BelegMemo->Lines().Add(ULang::GetText(7));
    BelegMemo->Lines().Add(HashText(data, length));
}

void TKassTip::AddSignatureToReceipt(const std::uint8_t* data, int length, bool force)
{
    const bool show = SecText->Checked() || force;
    TStringsUpdate update(BelegMemo->Lines());
    if (show) BelegMemo->Lines().Add(ULang::GetText(8));
    if (!data || length <= 0) {
        BelegMemo->Lines().Add("\t" + ULang::GetText(9));
        return;
    }
    const std::string block = SignatureText(data, length);
    if (show) BelegMemo->Lines().Add(block);
}

// ---------------------------------------------------------------------------------------------
// Choosing products and the keys

void TKassTip::ShowInEditor(const TProd& item)
{
    SpezBez->SetText(item.Name);
    SpezEinheit->SetText(item.Unit);
    for (int n = 1; n <= 6; ++n)
        PriceEdit(n)->SetText(IntToStr(item.Price(n)));
    SpezRabattBox->SetChecked(item.DiscountSurcharge);
    SpezGutBox->SetChecked(item.Voucher);
    AgBox->SetChecked(item.ThirdParty);
    LiefBox->SetChecked(item.DeliveryNote);
    SpezMenge->SetText(FloatToStr(item.Quantity));
}

void TKassTip::ProdListSelMouseMove(TObject*, TShiftState, int X, int Y)
{
    const int index = ProdListSel->ItemAtPos(POINT{X, Y}, true);
    if (index != HoverIndex && Active()) {
        if (std::abs(X - HoverX) < 20 || HoverX < 0) {
            if (index >= 0) {
                PosTimer->SetEnabled(false);
                PosTimer->SetEnabled(true);
                ProdListSel->SetItemIndex(index);
                if (const auto* p = dynamic_cast<const TProd*>(ProdListSel->Items().Objects(index))) {
                    PreisEdit->SetCaption(IntToStr(p->GetPriceSum()));
                    EinhLabel->SetCaption(p->Unit);
                }
                if (index != ShownProductIndex) StkMemo->SetText("1");
                ShownProductIndex = index;
                QuantityFresh = true;
            } else {
                PosTimer->SetEnabled(false);
            }
            HoverIndex = index;
        }
        HoverX = X;
        HoverY = Y;
    } else if (PosTimer->Enabled() && Y != HoverY) {
        PosTimer->SetEnabled(false);
        PosTimer->SetEnabled(true);
        HoverY = Y;
    }
    if (!(FormUStS && FormUStS->Visible()) && ProdListSel->HandleAllocated() && ProdListSel->Showing())
        ProdListSel->SetFocus();
}

void TKassTip::PosTimerTimer(TObject*)
{
    PosTimer->SetEnabled(false);
    if (HoverIndex < 0 || ShownProductIndex < 0 || ShownProductIndex >= ProdListSel->GetCount()) return;
    if (const auto* p = dynamic_cast<const TProd*>(ProdListSel->Items().Objects(ShownProductIndex))) ShowInEditor(*p);
}

void TKassTip::ProdBoxMouseMove(TObject*, TShiftState, int, int) { PosTimer->SetEnabled(false); }

void TKassTip::FormMouseMove(TObject*, TShiftState, int, int)
{
    HoverIndex = -1;
    HoverX = -1;
}

void TKassTip::ProdListSelMouseDown(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft) AddItem();
}

void TKassTip::ScanButtonClick(TObject*) { AddItem(); }
void TKassTip::StornoButtonClick(TObject*) { StornoItem(); }

void TKassTip::StkMemoMouseMove(TObject*, TShiftState, int, int)
{
    if (StkMemo->HandleAllocated() && StkMemo->Showing()) StkMemo->SetFocus();
    StkMemo->SelectAll();
}

void TKassTip::ProdListSelKeyPress(TObject*, char& Key)
{
    // Every key keeps its effect on the list (its search by typed letters) after its action.
    if (Key >= '0' && Key <= '9') {
        if (QuantityFresh && StkMemo->Text() == "1") StkMemo->SetText("");
        StkMemo->SetText(StkMemo->Text() + Key);
        QuantityFresh = false;
    } else if (Key == '-') {
        StornoItem();
    } else if (Key == '+') {
        AddItem();
    } else if (Key == '\r') {
        SumButtonClick(this);
    } else if (Key == '\x1b') {
        AbrButtonClick(this);
    }
}

void TKassTip::QuantityKey(TCustomEdit& field, char& Key)
{
    const char key = Key;
    if ((key >= '0' && key <= '9') || key == '\b') return;
    if (key == ',') {
        if (field.Text().find(',') != std::string::npos) Key = 0;
        return;
    }
    if (key == '-') {
        field.SetText("");
        return;
    }
    Key = 0;
    if (key == '+') AddItem();
    else if (key == '\r') SumButtonClick(this);
    else if (key == '\x1b') AbrButtonClick(this);
}

void TKassTip::StkMemoKeyPress(TObject*, char& Key) { QuantityKey(*StkMemo, Key); }
void TKassTip::SpezMengeKeyPress(TObject*, char& Key) { QuantityKey(*SpezMenge, Key); }

void TKassTip::FilterPriceKey(char& Key)
{
    const char key = Key;
    if ((key >= '0' && key <= '9') || key == '-' || key == '\b') return;
    Key = 0;
    if (key == '+') SpezAddButtonClick(this);
}

void TKassTip::Pr1KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }
void TKassTip::Pr2KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }
void TKassTip::Pr3KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }
void TKassTip::Pr4KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }
void TKassTip::Pr5KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }
void TKassTip::Pr6KeyPress(TObject*, char& Key) { FilterPriceKey(Key); }

void TKassTip::BelegMemoClick(TObject*)
{
    const int line = CaretReceiptLine();
    if (line < 1) return;
    if (const TProd* item = ItemOfLine(line)) ShowInEditor(*item);
}
