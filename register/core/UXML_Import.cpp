#include "register/core/UXML_Import.h"

#include <vector>

#include <windows.h>

#include "gui/base/Streams.h"
#include "gui/base/SysUtils.h"
#include "register/core/URegisterCore.h"

namespace UXML_Import {

TProductFile::TProductFile() = default;
TProductFile::~TProductFile() = default;

void TProductFile::Load(const std::string& fileName)
{
    Close();
    auto file = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t size = file->Size();
    if (size < 0 || size > MaxProductFileSize)
        throw EStreamError("Datei \"" + fileName + "\" ist zu groß für eine Produktliste");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file->ReadBuffer(bytes.data(), bytes.size());
    list_ = std::make_unique<TXMLList>(std::move(bytes), fileName);
    file_ = std::move(file);
    fileName_ = fileName;
}

void TProductFile::Close()
{
    list_.reset();
    file_.reset();
    fileName_.clear();
}

void TProductFile::ResetItemCursor()
{
    if (list_) list_->ResetItemCursor();
}

std::unique_ptr<TProd> TProductFile::NextProduct() { return list_ ? list_->NextProduct() : nullptr; }

void LoadXmlFile(const std::string& fileName) { RegisterCore().ProductFile().Load(fileName); }

std::string LoadedFileName() { return RegisterCore().ProductFile().FileName(); }

void CloseXmlFile() { RegisterCore().ProductFile().Close(); }

void ResetItemCursor() { RegisterCore().ProductFile().ResetItemCursor(); }

std::unique_ptr<TProd> NextProduct() { return RegisterCore().ProductFile().NextProduct(); }

std::string StandardProductListPath()
{
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return ExtractFilePath(std::string(buf.data(), n)) + "Produkte\\Standard.xml";
        buf.resize(buf.size() * 2);
    }
}

void LoadStandardProductList() { LoadXmlFile(StandardProductListPath()); }

} // namespace UXML_Import
