#include "register/ui/UKassTip.h"

#include <array>

#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"
#include "register/core/UContainer.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Import.h"
#include "register/core/URangeCheck.h"
#include "register/ui/UFormUStS.h"
#include "register/ui/UMainF.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sPanel.h"

TKassTip* KassTip = nullptr;

namespace {

constexpr TColor TrainingColor = 65535; // pure yellow

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
    RabABox->SetVisible(LastItem != nullptr);
    ProdBox->SetVisible(!ReportMode);
    ReportBox->SetVisible(!ProdBox->Visible());
    ItemBox->SetVisible(EditorShown && !ReportMode);
    VerifikationaufQSM->SetVisible(!ReportMode);
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

void TKassTip::ShowClock(TDateTime time, TDateTime date)
{
    TimeLabel->SetCaption(TimeToStr(time));
    DateLabel->SetCaption(DateToStr(date));
}

void TKassTip::SetTraining(bool on)
{
    TrainingMode = on;
    if (on) SetColor(TrainingColor);
    else if (Color() == TrainingColor) SetColor(clBtnFace);
    ApplyTraining();
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

void TKassTip::AddHashToReceipt(const std::uint8_t*, int, bool) {}
void TKassTip::AddSignatureToReceipt(const std::uint8_t*, int, bool) {}
void TKassTip::NewReceipt() {}
void TKassTip::SetReceiptText(const std::string&) {}
void TKassTip::SetReceiptColor(std::int32_t) {}
