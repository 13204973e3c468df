#include "headless_commands.h"

#include "headless_services.h"

#include "console/bill_panel.h"
#include "console/console_engine.h"
#include "console/station_state.h"
#include "console/station_table.h"

#include <charconv>
#include <sstream>

namespace console::headless {

namespace {

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && at == end;
}

// "1,3" -> rows {0, 2}; "" -> none. False on anything but station numbers.
bool parseStations(const std::string& text, int rowCount, std::vector<int>& rows)
{
    rows.clear();
    if (text.empty())
        return true;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int number = 0;
        if (!parseInt(item, number) || number < 1 || number > rowCount)
            return false;
        rows.push_back(number - 1);
    }
    return true;
}

bool rowShown(const ItemRowView& row) { return row.wide.visible || row.narrow.visible; }

} // namespace

HeadlessCommands::HeadlessCommands(ConsoleEngine& engine, HeadlessServices& services)
    : engine_(engine), services_(services)
{
}

bool HeadlessCommands::finished() const { return quit_ || engine_.hasEnded(); }

void HeadlessCommands::followFocus()
{
    if (engine_.hasEnded())
        return;
    const ConsoleView view = engine_.view();
    if (view.focusRequestSerial == focusSerial_)
        return;
    focusSerial_ = view.focusRequestSerial;
    if (view.focusRequest.control == FocusTarget::Control::StationTable)
        engine_.onStationTableFocus(true);
    else
        engine_.onFocusChanged(view.focusRequest);
}

bool HeadlessCommands::pressButton(const std::string& name, std::string& why)
{
    const ConsoleView view = engine_.view();
    const auto usable = [&](const ButtonView& button) {
        if (button.visible && button.enabled)
            return true;
        why = name + " is " + (button.visible ? "disabled" : "hidden");
        return false;
    };
    if (name == "start") {
        if (!usable(view.buttons.start))
            return false;
        engine_.onStartPressed();
    } else if (name == "stop") {
        if (!usable(view.buttons.stop))
            return false;
        engine_.onStopPressed();
    } else if (name == "swap") {
        if (!usable(view.buttons.swap))
            return false;
        engine_.onSwapPressed();
    } else if (name == "bill") {
        if (!usable(view.buttons.bill))
            return false;
        engine_.onBillPressed();
    } else if (name == "items") {
        if (!usable(view.bill.itemPanelButton))
            return false;
        engine_.billPanel().onItemPanelButton();
    } else if (name == "charge") {
        if (!usable(view.bill.charge))
            return false;
        if (!engine_.billPanel().onChargePressed()) {
            why = "the bill was not charged";
            return false;
        }
    } else {
        why = "unknown command " + name;
        return false;
    }
    return true;
}

std::vector<std::string> HeadlessCommands::run(const std::string& line)
{
    if (engine_.hasEnded())
        return {"error the console has ended"};
    const std::size_t space = line.find(' ');
    const std::string name = line.substr(0, space);
    const std::string argument = space == std::string::npos ? std::string() : line.substr(space + 1);
    const auto fail = [](const std::string& why) { return std::vector<std::string>{"error " + why}; };

    std::vector<std::string> reply;
    std::string why;
    int number = 0;
    BillPanel& panel = engine_.billPanel();
    if (name == "select") {
        std::vector<int> rows;
        if (!parseStations(argument, engine_.stationTable().rowCount(), rows))
            return fail("not a list of station numbers: " + argument);
        // A click on the table: it has the focus, then the selection changes.
        engine_.onStationTableFocus(true);
        engine_.onStationSelectionChanged(rows);
    } else if (name == "start" || name == "stop" || name == "swap" || name == "bill" || name == "items" ||
               name == "charge") {
        if (!pressButton(name, why))
            return fail(why);
    } else if (name == "show") {
        if (!parseInt(argument, number) || number < 0 || number >= static_cast<int>(panel.selectorEntries().size()))
            return fail("no selector entry " + argument);
        panel.onSelectorChanged(number);
    } else if (name == "item") {
        if (!parseInt(argument, number) || number < 0 || number >= BillPanel::kItemRows ||
            !rowShown(engine_.view().bill.itemRows[static_cast<std::size_t>(number)]))
            return fail("no item button in row " + argument);
        panel.onItemPressed(number);
    } else if (name == "price") {
        services_.setPriceKeys(argument);
    } else if (name == "quantity") {
        if (panel.quantityRow() == 0)
            return fail("no quantity field is open");
        engine_.onFocusChanged({FocusTarget::Control::QuantityField, panel.quantityRow() - 1});
        panel.setQuantityText(argument);
        engine_.onEnter();
    } else if (name == "tender") {
        if (!engine_.view().bill.tenderField.visible)
            return fail("the tender field is hidden");
        engine_.onFocusChanged({FocusTarget::Control::TenderField, 0});
        panel.tenderField().setText(argument);
        engine_.onEnter();
    } else if (name == "alarm") {
        if (!parseInt(argument, number))
            return fail("not an alarm choice: " + argument);
        if (!engine_.view().bill.alarm.visible)
            return fail("no running station's bill is displayed");
        engine_.onAlarmSelected(number);
    } else if (name == "enter") {
        engine_.onEnter();
    } else if (name == "escape") {
        engine_.requestExit();
    } else if (name == "state") {
        reply = state();
    } else if (name == "quit") {
        quit_ = true;
    } else {
        return fail("unknown command " + name);
    }
    followFocus();
    reply.push_back("ok");
    return reply;
}

std::vector<std::string> HeadlessCommands::state() const
{
    std::vector<std::string> lines;
    const StationTable& table = engine_.stationTable();
    for (int i = 0; i < table.rowCount(); ++i) {
        std::string line = "row " + std::to_string(i + 1);
        for (Column c :
             {Column::Status, Column::Start, Column::Duration, Column::AccessCost, Column::Extras, Column::Total})
            line += "|" + table.text(i, c);
        if (!table.note(i).empty())
            line += "|" + table.note(i);
        lines.push_back(std::move(line));
    }
    const BillPanel& panel = engine_.billPanel();
    const std::vector<std::string> captions = panel.selectorEntries();
    const std::vector<OpenBill>& bills = panel.openBills();
    for (std::size_t k = 0; k < bills.size(); ++k) {
        const std::string caption = k < captions.size() ? captions[k] : std::string();
        lines.push_back("bill " + std::to_string(k) + "|" + caption + "|" + std::to_string(bills[k].station));
        for (const store::BillItem& item : bills[k].items)
            lines.push_back("line " + item.stationText + "|" + item.description + "|" + item.priceText);
    }
    for (int i = 0; i < table.rowCount(); ++i) {
        const StationState& s = engine_.stationState(i);
        if (s.alarmArmed())
            lines.push_back("alarm " + std::to_string(i + 1) + "|" + std::to_string(s.alarmChoice) + "|" +
                            std::to_string(static_cast<long long>(s.alarmTime)));
    }
    return lines;
}

} // namespace console::headless
