// The register's product list: the product-list file loaded from the folder "Produkte" beside
// the executable ("Standard.xml" at start, another file when the register window loads one),
// handed out one product at a time. The file's tags are read by the scanner of
// register/core/UXML_Scan.h; the file stays open, read-only and shared for reading only, until
// the next load, CloseXmlFile or the end of the run, so nobody changes it under the list.
// The state belongs to the program's core (TRegisterCore::ProductFile()); the module routines
// below need the core.
//
//   // program block, right after the core's module:
//   modules.Add("UXML_Import", UXML_Import::LoadStandardProductList, UXML_Import::CloseXmlFile);
//
//   // register window, TKassTip::FillProductList:
//   UXML_Import::ResetItemCursor();
//   ProdListSel->Items()->Clear();
//   while (std::unique_ptr<TProd> p = UXML_Import::NextProduct()) {
//       std::string name = p->Name;
//       ProdListSel->Items()->AddObject(name, p.release()); // the list owns it
//   }
//
//   // "Speichern": write the entries back to the loaded file and load it again
//   std::string name = UXML_Import::LoadedFileName();
//   UXML_Import::CloseXmlFile();
//   UProdList_Export::SaveProductList(name, *ProdListSel->Items());
//   UXML_Import::LoadXmlFile(name);
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "register/core/UProd.h"
#include "register/core/UXML_Scan.h"

class TFileStream;

namespace UXML_Import {

// The largest product-list file that is read (64 MiB, some 600,000 products).
constexpr std::int64_t MaxProductFileSize = std::int64_t{64} << 20;

// The module's state: the open file, its name and its tag list.
class TProductFile {
public:
    TProductFile();
    ~TProductFile();
    TProductFile(const TProductFile&) = delete;
    TProductFile& operator=(const TProductFile&) = delete;

    // See the module routines below.
    void Load(const std::string& fileName);
    void Close();
    const std::string& FileName() const { return fileName_; }
    void ResetItemCursor();
    std::unique_ptr<TProd> NextProduct();

private:
    std::unique_ptr<TFileStream> file_;
    std::unique_ptr<TXMLList> list_;
    std::string fileName_;
};

// Closes the loaded file and drops its list first, then opens the file (read-only, others may
// only read it), reads it in one piece, scans its tags and removes duplicate items. A file
// that cannot be opened raises EFOpenError, one above MaxProductFileSize or that cannot be
// read EStreamError, each naming the file; no list is loaded then, and no product offered.
void LoadXmlFile(const std::string& fileName);
// The name of the loaded file as it was given to LoadXmlFile; empty when none is loaded.
std::string LoadedFileName();
// Closes the loaded file; its list goes with it (no product is offered until the next load).
void CloseXmlFile();
// Reads products from the first item of the loaded file on again.
void ResetItemCursor();
// The next product of the loaded file (TXMLList::NextProduct), or none after the last one or
// when no file is loaded.
std::unique_ptr<TProd> NextProduct();

// "Produkte\Standard.xml" in the executable's folder.
std::string StandardProductListPath();
// The module's start step: loads StandardProductListPath(). Without that file the open error
// goes on to the program block, which stops with its message.
void LoadStandardProductList();

} // namespace UXML_Import
