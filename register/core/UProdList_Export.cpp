#include "register/core/UProdList_Export.h"

#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"
#include "register/core/UProd.h"
#include "register/core/UXML_Scan.h"

namespace UProdList_Export {

std::string ProductListText(const TStrings& entries)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><vantra><document-information>"
                       "<version>1.0</version></document-information><itemList>";
    for (int i = 0; i < entries.Count(); ++i) {
        const auto* prod = dynamic_cast<const TProd*>(entries.Objects(i));
        if (!prod) throw EInvalidOperation("Eintrag " + IntToStr(i) + " der Produktliste ist kein Produkt");
        text += "<item><name>" + EscapeXmlText(prod->Name) + "</name>";
        if (!prod->Unit.empty()) text += "<unit>" + EscapeXmlText(prod->Unit) + "</unit>";
        for (int n = 1; n <= 6; ++n) {
            if (prod->Price(n) == 0) continue;
            const std::string tag = "price" + IntToStr(n) + ">";
            text += "<" + tag + IntToStr(prod->Price(n)) + "</" + tag;
        }
        if (prod->ThirdParty) text += "<thirtparty />";
        text += "</item>";
    }
    return text + "</itemList></vantra>";
}

void SaveProductList(const std::string& fileName, const TStrings& entries)
{
    const std::string text = ProductListText(entries);
    TFileStream file(fileName, fmCreate);
    file.WriteString(text);
}

} // namespace UProdList_Export
