#pragma once
// PriceFieldPromptDialog: "Edit Price", the modal dialog that asks for the
// price of an item whose price varies. It shows the question as plain text,
// a right-aligned MoneyFieldEdit on the caller's field (it has the focus) and
// the default button "OK". Enter in the field confirms when the field takes
// it. However the dialog is closed, the field keeps what it holds: the caller
// reads the price from it.

#include "fields/money_field.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace console::ui {

class MoneyFieldEdit;

class PriceFieldPromptDialog : public QDialog {
    Q_OBJECT
public:
    PriceFieldPromptDialog(const QString& question, fields::MoneyField& price, QWidget* parent = nullptr);

    MoneyFieldEdit* priceEdit() const { return priceEdit_; }

private:
    QLabel* question_;
    MoneyFieldEdit* priceEdit_;
    QPushButton* ok_;
};

} // namespace console::ui
