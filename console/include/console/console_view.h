#pragma once
// The visible state of every console control a rule switches: shown, enabled,
// caption, the focus and the default push button. The window reads it after
// each engine call and copies it into its widgets; it keeps no state of its own.

#include "console/texts.h"
#include "store/bill_item.h"

#include <array>
#include <string>
#include <vector>

namespace console {

struct ButtonView {
    bool visible = true;
    bool enabled = true;
    std::string caption;
};

struct TextView {
    bool visible = false;
    std::string text;
};

// An edit field. While `textSelected` holds, the window shows all of the text
// selected, so that the first key typed replaces it; it ends once the operator
// has typed (the window hands the new text back).
struct EditView {
    bool visible = false;
    std::string text;
    bool textSelected = false;
};

// A place for the keyboard focus.
struct FocusTarget {
    enum class Control {
        None,
        StationTable,
        TenderField,
        ChargeButton,
        ItemButton,    // the wide button of item row `row`
        QuantityField, // the quantity field of item row `row`
        BillList,
    };
    Control control = Control::None;
    int row = 0; // 0..4 for item rows

    friend bool operator==(const FocusTarget&, const FocusTarget&) = default;
};

// The push button Enter presses; None lets Enter run the OK action. A disabled
// or hidden button is never the default.
enum class DefaultButton { None, Start, Bill, Charge };

struct StationButtonsView {
    ButtonView start{true, false, kStartButtonCaption};
    ButtonView stop{true, false, kStopButtonCaption};
    ButtonView bill{true, true, kBillButtonCaption};
    ButtonView swap{true, false, kSwapButtonCaption};
    ButtonView configuration{true, true, kConfigurationButtonCaption};
};

struct ItemRowView {
    ButtonView wide{false, true, ""};   // the item's caption; hidden while its quantity is asked
    ButtonView narrow{false, true, ""}; // the same caption beside the quantity field
    EditView quantity;                  // the quantity field: "1", selected, when the row opens
};

struct SelectorView {
    bool visible = false;
    std::vector<std::string> entries; // the bills' captions
    // What the operator reads: the caption with the time the bill came in, so
    // that two bills of one station are told apart, and a mark before a new one.
    std::vector<std::string> labels;
    std::vector<bool> unseen; // entries a station made that were not displayed yet
    int current = -1;
};

struct AlarmSelectorView {
    bool visible = false; // the "Alarm:" label follows it
    std::vector<std::string> entries;
    int current = 0;
};

struct BillListView {
    bool visible = false;
    bool enabled = false;
    std::vector<store::BillItem> rows; // columns "PC", "Description", "Price"
    std::vector<bool> selected;
};

struct BillPanelView {
    TextView title; // "BILL"
    SelectorView selector;
    AlarmSelectorView alarm;
    TextView caption; // the displayed bill's caption
    BillListView list;
    TextView totalLabel;   // "TOTAL:"
    TextView totalDisplay; // the total, large font
    TextView tenderLabel;  // "TENDER:"
    TextView tenderField;  // the tendered amount (a money field)
    TextView dueLabel;     // "DUE:" or "CHANGE:"
    TextView dueAmount;    // |tender - due|
    ButtonView charge{false, true, kChargeCaption};
    ButtonView printReceipt{false, true, kPrintReceiptCaption};
    ButtonView itemPanelButton{false, true, std::string(kAddItemsCaption)};
    // "2 unpaid bills", and how many of them are new; highlighted while any is.
    TextView unpaid;
    bool newBills = false;
    std::array<ItemRowView, 5> itemRows;
    ButtonView previous{false, true, kPreviousItemsCaption};
    ButtonView next{false, true, kNextItemsCaption};
};

struct ConsoleView {
    StationButtonsView buttons;
    BillPanelView bill;
    // Where the focus is, as the window last reported it (onFocusChanged).
    FocusTarget focus;
    // Where the engine wants the focus. The window moves the focus there
    // whenever the serial has changed since it last looked, and only then.
    FocusTarget focusRequest;
    unsigned focusRequestSerial = 0;
    DefaultButton defaultButton = DefaultButton::None;
};

} // namespace console
