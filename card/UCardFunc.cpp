#include "card/UCardFunc.h"

#include "card/MonForm.h"
#include "card/PCSCConnector.h"
#include "card/UCardStart.h"
#include "card/UCardText.h"
#include "common/UHexASCII.h"

namespace {

TCardModule* g_module = nullptr;

} // namespace

TCardModule& Module()
{
    if (!g_module) g_module = new TCardModule;
    return *g_module;
}

void ReleaseModule()
{
    delete g_module;
    g_module = nullptr;
}

TExportLines::TExportLines() : module_(g_module)
{
    if (module_) module_->Monitor().BeginBatch();
}

TExportLines::~TExportLines()
{
    if (!module_ || module_ != g_module) return;
    try {
        module_->Monitor().EndBatch();
    } catch (...) {
        // The log window failing must not take the host down with it.
    }
}

TCardModule::TCardModule() : monitor_(TForm::Create<TMonForm>(nullptr)), connector_(new TPCSCConnector(monitor_))
{
    resultText_.reserve(64 * 1024);
    connector_->CardOperationRunning = [this] { return Busy; };
    monitor_->StartCard = [this] { ::StartCard(*this); };
    monitor_->HostWindow = [this] { return HostWindow; };
}

TCardModule::~TCardModule()
{
    try {
        delete connector_;
        try {
            monitor_->Free(); // FormDestroy runs while the whole window still exists
        } catch (...) {
        }
    } catch (...) {
        // A failing reader must not keep the library from unloading; the window then stays.
    }
    CardVersion.clear();
    OsVersion.clear();
}

const char* TCardModule::SetResultText(const std::string& text)
{
    resultText_.assign(text);
    return resultText_.c_str();
}

const char* TCardModule::SetHexToDecText(std::string text)
{
    hexToDecText_ = std::move(text);
    return hexToDecText_.c_str();
}

void TCardModule::Log(const std::string& line) { monitor_->AddLine(line); }

void TCardModule::Log(const std::string& line, int colour) { monitor_->AddColoredLine(line, colour); }

void TCardModule::ExchangeLogged(const std::string& label, const std::string& command, std::string& response,
                                 int colour)
{
    response.clear();
    monitor_->AddLine(label + ";" + command);
    connector_->Transmit(UHexASCII::HexTextToBytes(command), response);
    if (response.empty()) return;
    if (label == "Card,APDU") response = UHexASCII::BytesToHexText(response);
    monitor_->AddColoredLine("Result;   " + response, colour);
}

bool TCardModule::SendApduStatusOk(const std::string& command, std::string& response)
{
    Sleep(0);
    ExchangeLogged("Card,APDU", command, response, clLogBlack);
    if (response.size() < 5) return false;
    const std::string status = response.substr(response.size() - 5);
    if (response.size() > 5) response.erase(response.size() - 6);
    return status == "90 00";
}

bool TCardModule::SendApduText(const std::string& command, std::string& response)
{
    if (!SendApduStatusOk(command, response)) {
        response.clear();
        return false;
    }
    SetResultText(response);
    return true;
}

bool TCardModule::SendApduData(const std::string& command, std::string& data)
{
    if (!SendApduText(command, data)) return false;
    if (data == "90 00") data.clear(); // the status word alone: no data
    return true;
}

bool TCardModule::Send(const std::string& command)
{
    std::string answer;
    return SendApduText(command, answer);
}

bool TCardModule::SelectFile(int fileId) { return Send(UCardText::SelectCommand(fileId)); }
