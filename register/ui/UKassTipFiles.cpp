// The register window's files: the product list in "Produkte\" (load, save, save as, entries
// added from the special-item editor and deleted), the export journal pair in "Export\" and the
// receipt text saved to a file.
#include <memory>
#include <string>

#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/base/Exceptions.h"
#include "gui/base/NumberFormat.h"
#include "gui/base/Streams.h"
#include "register/core/UProd.h"
#include "register/core/UProdList_Export.h"
#include "register/core/UXML_Export.h"
#include "register/core/UXML_Import.h"
#include "register/ui/UKassTip.h"
#include "skin/controls/sAlphaListBox.h"
#include "skin/controls/sCheckBox.h"
#include "skin/controls/sEdit.h"

namespace {

std::string ProductFolder() { return Application->ExeFolder() + "Produkte\\"; }
std::string ExportFolder() { return Application->ExeFolder() + "Export\\"; }

} // namespace

std::unique_ptr<TProd> TKassTip::ItemFromEditor(const std::string& quantity) const
{
    auto item = std::make_unique<TProd>();
    item->Name = SpezBez->Text();
    item->Unit = SpezEinheit->Text();
    for (int n = 1; n <= 6; ++n) {
        const std::string price = PriceEdit(n)->Text();
        if (!price.empty()) item->Price(n) = StrToInt(price);
    }
    item->DiscountSurcharge = SpezRabattBox->Checked();
    item->Voucher = SpezGutBox->Checked();
    item->ThirdParty = AgBox->Checked();
    item->DeliveryNote = LiefBox->Checked();
    item->Quantity = StrToFloat(quantity);
    return item;
}

void TKassTip::ffnen1Click(TObject*)
{
    CashOpenDialog->InitialDir = ProductFolder();
    if (!CashOpenDialog->Execute()) return;
    UXML_Import::LoadXmlFile(CashOpenDialog->FileName);
    FillProductList();
}

void TKassTip::SaveProductsTo(const std::string& fileName)
{
    // The list box keeps its entries whatever happens to the file.
    UXML_Import::CloseXmlFile();
    UProdList_Export::SaveProductList(fileName, ProdListSel->Items());
    UXML_Import::LoadXmlFile(fileName);
}

void TKassTip::Speichern1Click(TObject*) { SaveProductsTo(UXML_Import::LoadedFileName()); }

void TKassTip::Speichern2Click(TObject*)
{
    SaveProdList->InitialDir = ProductFolder();
    if (!SaveProdList->Execute()) return;
    SaveProductsTo(SaveProdList->FileName);
}

void TKassTip::Lschen1Click(TObject*)
{
    const int index = ProdListSel->GetItemIndex();
    if (index < 0 || index >= ProdListSel->Items().Count()) return;
    delete ProdListSel->Items().Objects(index);
    ProdListSel->Items().Delete(index);
}

void TKassTip::sLabelFX1Click(TObject*)
{
    if (SpezBez->Text().empty()) return;
    std::unique_ptr<TProd> item = ItemFromEditor(SpezMenge->Text());
    const std::string name = item->Name;
    ProdListSel->Items().AddObject(name, item.release());
}

void TKassTip::ChooseJournalPair(bool isNew)
{
    XMLOpenDialog->InitialDir = ExportFolder();
    if (!XMLOpenDialog->Execute()) return;
    UXML_Export::SetJournalFile(XMLOpenDialog->FileName, isNew);
}

void TKassTip::XMLExportNeu1Click(TObject*) { ChooseJournalPair(true); }
void TKassTip::XMLExportffnen1Click(TObject*) { ChooseJournalPair(false); }

void TKassTip::Belegspeichern1Click(TObject*)
{
    if (!OpenBelegDialog->Execute()) return;
    TFileStream file(OpenBelegDialog->FileName, fmCreate);
    file.WriteString(BelegMemo->Text());
}
