// Writing a product list: the register window's list entries (text and TProd object each)
// become a product-list file that register/core/UXML_Import.h reads back, one line of XML in
// code page 1252 under an "ISO-8859-1" declaration. Per product, in list order:
//   <item><name>Brot</name><unit>Stk.</unit><price1>199</price1><thirtparty /></item>
// the unit only when there is one, the prices of classes 1 to 6 that are not 0 (cents, decimal,
// "-" for negative), "<thirtparty />" for an agency item. Prices 7 and 8, the discount,
// voucher and delivery-note flags and the quantity are not written. "&", "<" and ">" in names
// and units are written as "&amp;", "&lt;" and "&gt;"; any other byte as it is.
#pragma once

#include <string>

#include "gui/base/Strings.h"

namespace UProdList_Export {

// The whole file text of the entries; each entry's object must be a TProd (else
// EInvalidOperation). Its name is the product's Name, not the entry's text.
std::string ProductListText(const TStrings& entries);

// Builds the text in memory, then creates the file (replacing it) and writes the text in one
// piece. A file that cannot be created raises EFCreateError, a failed write EStreamError;
// an entry without a TProd raises before the file is touched.
void SaveProductList(const std::string& fileName, const TStrings& entries);

} // namespace UProdList_Export
