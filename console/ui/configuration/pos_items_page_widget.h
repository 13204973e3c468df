#pragma once
// The "POS Items" tab: the sale items, their number, and an editor for the
// selected rows, shown over a PosItemsPage.

#include "configuration_page_widget.h"

#include "console/configuration/pos_items_page.h"

class QCheckBox;

namespace console::ui {

class MoneyFieldEdit;

class PosItemsPageWidget final : public ConfigurationPageWidget {
    Q_OBJECT
public:
    explicit PosItemsPageWidget(console::configuration::PosItemsPage& page, QWidget* parent = nullptr);

private:
    void saveModel() override;
    void showEditor() override;

    console::configuration::PosItemsPage& page_;
    QLineEdit* item_;
    QLineEdit* name_;
    MoneyFieldEdit* price_;
    QCheckBox* fixedPrice_;
};

} // namespace console::ui
