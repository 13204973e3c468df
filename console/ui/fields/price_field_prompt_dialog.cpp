#include "price_field_prompt_dialog.h"

#include "money_field_edit.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace console::ui {

PriceFieldPromptDialog::PriceFieldPromptDialog(const QString& question, fields::MoneyField& price, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("priceFieldPromptDialog"));
    setWindowTitle(tr("Edit Price"));

    // Item captions are the operator's own text: never read as markup.
    question_ = new QLabel(question, this);
    question_->setObjectName(QStringLiteral("questionText"));
    question_->setTextFormat(Qt::PlainText);
    question_->setWordWrap(true);

    priceEdit_ = new MoneyFieldEdit(price, this);
    priceEdit_->setObjectName(QStringLiteral("priceEdit"));
    priceEdit_->setAccessibleName(tr("Price"));
    priceEdit_->setAlignment(Qt::AlignRight);
    question_->setBuddy(priceEdit_);

    ok_ = new QPushButton(tr("OK"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(priceEdit_, &MoneyFieldEdit::enterAccepted, this, &QDialog::accept);

    // The classic layout: question across the top, the field and OK on the right.
    auto* layout = new QGridLayout(this);
    layout->addWidget(question_, 0, 0, 1, 2);
    layout->addWidget(priceEdit_, 1, 1);
    layout->addWidget(ok_, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 186 / 4);
    priceEdit_->setFocus();
}

} // namespace console::ui
