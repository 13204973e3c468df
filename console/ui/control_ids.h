#pragma once
// The console window's control identifiers. Each control carries its number as
// its objectName (Start is "1003"), so tests and tools find it, and an
// accessible name for screen readers.

#include <QString>
#include <QWidget>

namespace console::ui {

namespace id {
inline constexpr int kOk = 1;
inline constexpr int kStationTable = 1000;
inline constexpr int kStop = 1002;
inline constexpr int kStart = 1003;
inline constexpr int kBill = 1004;
inline constexpr int kBillTitle = 1008;
inline constexpr int kCharge = 1009;
inline constexpr int kBillCaption = 1011;
inline constexpr int kTotalDisplay = 1012;
inline constexpr int kTenderField = 1013;
inline constexpr int kDueAmount = 1014;
inline constexpr int kTotalLabel = 1015;
inline constexpr int kTenderLabel = 1016;
inline constexpr int kDueLabel = 1017;
inline constexpr int kBillList = 1019;
inline constexpr int kBillSelector = 1023;
inline constexpr int kConfiguration = 1027;
inline constexpr int kSwap = 1028;
inline constexpr int kItemPanelButton = 1030;
inline constexpr int kPrintReceipt = 1032;
inline constexpr int kAlarmSelector = 1040;
inline constexpr int kAlarmLabel = 1041;
inline constexpr int kUnpaidNotice = 1050;
inline constexpr int kNext = 9998;
inline constexpr int kPrevious = 9999;
inline constexpr int kItemButton = 10000;   // + row 0..4
inline constexpr int kItemNarrow = 10005;   // + row 0..4
inline constexpr int kItemQuantity = 10010; // + row 0..4
} // namespace id

inline void identify(QWidget* widget, int controlId, const QString& accessibleName)
{
    widget->setObjectName(QString::number(controlId));
    widget->setAccessibleName(accessibleName);
}

} // namespace console::ui
