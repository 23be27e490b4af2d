// Fuzz target of the product-list reader: any bytes are scanned as a product-list file and
// every product is read. Errors of the file's contents are the conversion and range errors
// naming the file; nothing else may escape, and every tag's content lies inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "gui/base/Exceptions.h"
#include "register/core/UXML_Scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TXMLList list(bytes, "fuzz.xml");
    for (int i = 0; i < list.Count(); ++i) {
        const TXMLTag& tag = list.Tag(i);
        if (tag.Kind >= XmlTemplateCount || tag.Level < 1) std::abort();
        if (list.GetContent(tag).size() > size) std::abort();
    }
    for (int round = 0; round < 2; ++round) {
        list.ResetItemCursor();
        for (int read = 0; read <= list.Count(); ++read) {
            try {
                std::unique_ptr<TProd> p = list.NextProduct();
                if (!p) break;
                if (p->Name.size() > size || p->Unit.size() > size) std::abort();
            } catch (const EConvertError& e) {
                if (std::string(e.what()).find("fuzz.xml") == std::string::npos) std::abort();
            } catch (const ERangeError&) {
            }
        }
    }
    return 0;
}
