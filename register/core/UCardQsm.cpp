// UCard's activation and deactivation, which ask the user through message boxes (so they live
// apart from the windowless card commands, in the library regcardqsm).
#include "gui/Forms.h"
#include "register/core/UCard.h"
#include "register/core/UCardReport.h"
#include "register/core/ULang.h"

namespace UCard {

bool ActivateQsm(const std::string& pinField)
{
    Detail::TReportCommand report;
    report.p1 = 4;
    report.label = "REPORT QSM Activate";
    report.labelFirst = true;
    report.receiptText = "\r\n" + ULang::GetText(36) + " ";
    report.monitorText = ULang::GetText(36);
    report.pinField = pinField;
    const bool ok = Detail::RunReport(report);
    if (!ok) Application->MessageBox(ULang::GetText(70), ULang::GetText(71), MB_OK);
    return ok;
}

bool DeactivateQsm()
{
    if (Application->MessageBox(ULang::GetText(72), ULang::GetText(73), MB_OKCANCEL) != IDOK) return false;
    if (Application->MessageBox(ULang::GetText(74), ULang::GetText(73), MB_OKCANCEL) != IDOK) return false;
    Detail::TReportCommand report;
    report.p1 = 5;
    report.label = "REPORT QSM Deactivate";
    report.labelFirst = true;
    report.receiptText = "\r\nTagesabschluss ";
    report.monitorText = ULang::GetText(36);
    return Detail::RunReport(report);
}

} // namespace UCard
