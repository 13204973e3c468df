#include "first_run_wizard.h"

#include "console/texts.h"
#include "store/client_table.h"
#include "store/configuration.h"
#include "store/text_number.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWizardPage>

namespace console::ui {

using console::configuration::FirstRunSetup;
using console::configuration::RatePreset;

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit* namedEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// Tells the owner why a page cannot be left yet; false when there was nothing to tell.
bool refused(QWidget* page, const std::optional<std::string>& problem)
{
    if (!problem)
        return false;
    QMessageBox::warning(page, QStringLiteral("Brisko"), QString::fromStdString(*problem));
    return true;
}

class PasswordPage final : public QWizardPage {
public:
    PasswordPage(FirstRunSetup& setup, QWidget* parent) : QWizardPage(parent), setup_(setup)
    {
        setTitle(QStringLiteral("The operator's password"));
        auto* form = new QFormLayout(this);
        auto* hint = wrappedLabel(QString::fromLatin1(kFirstRunPasswordHint), this);
        hint->setObjectName(QStringLiteral("firstRun.passwordHint"));
        form->addRow(hint);
        password_ = namedEdit("firstRun.password", this);
        confirm_ = namedEdit("firstRun.confirm", this);
        for (QLineEdit* edit : {password_, confirm_}) {
            edit->setEchoMode(QLineEdit::Password);
            edit->setMaxLength(static_cast<int>(store::Configuration::kMaxPasswordLength) + 1);
        }
        form->addRow(QStringLiteral("&Password:"), password_);
        form->addRow(QStringLiteral("&Confirm:"), confirm_);
    }

    bool validatePage() override
    {
        return !refused(this, setup_.choosePassword(password_->text().toStdString(), confirm_->text().toStdString()));
    }

private:
    FirstRunSetup& setup_;
    QLineEdit* password_;
    QLineEdit* confirm_;
};

class StationsPage final : public QWizardPage {
public:
    StationsPage(FirstRunSetup& setup, KnockingStations knocking, QWidget* parent)
        : QWizardPage(parent), setup_(setup), knocking_(std::move(knocking))
    {
        setTitle(QStringLiteral("The stations"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(wrappedLabel(
            QStringLiteral("Add each customer PC with a name and its address. Stations that already try to "
                           "reach this console are listed first: pick one and press Add selected. Leave the list empty "
                           "to add stations later under Configuration, Clients."),
            this));

        layout->addWidget(new QLabel(QStringLiteral("Trying to connect:"), this));
        auto* addKnocking = new QPushButton(QStringLiteral("Add &selected"), this);
        knockingList_ = listBeside(addKnocking, layout, "firstRun.knocking", "firstRun.addKnocking");
        knockingList_->setMaximumHeight(fontMetrics().height() * 5);

        name_ = namedEdit("firstRun.stationName", this);
        name_->setMaxLength(static_cast<int>(store::ClientCodec::kNameSize) - 1);
        address_ = namedEdit("firstRun.stationAddress", this);
        address_->setPlaceholderText(QStringLiteral("192.168.1.21"));
        auto* addTyped = new QPushButton(QStringLiteral("&Add station"), this);
        addTyped->setObjectName(QStringLiteral("firstRun.addStation"));
        auto* typedRow = new QFormLayout;
        typedRow->addRow(QStringLiteral("Na&me:"), name_);
        typedRow->addRow(QStringLiteral("A&ddress:"), address_);
        typedRow->addRow(QString(), addTyped);
        layout->addLayout(typedRow);

        layout->addWidget(new QLabel(QStringLiteral("Stations of this cafe:"), this));
        auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
        stations_ = listBeside(remove, layout, "firstRun.stations", "firstRun.removeStation");

        connect(addKnocking, &QPushButton::clicked, this, &StationsPage::addKnocking);
        connect(knockingList_, &QListWidget::itemDoubleClicked, this, &StationsPage::addKnocking);
        connect(addTyped, &QPushButton::clicked, this, &StationsPage::addTyped);
        connect(remove, &QPushButton::clicked, this, [this] {
            if (stations_->currentRow() >= 0)
                setup_.removeStation(static_cast<std::size_t>(stations_->currentRow()));
            refresh();
        });
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &StationsPage::refresh);
        poll->start(1000);
        refresh();
    }

    // An address typed but not yet added is added on Next, as the owner meant.
    bool validatePage() override
    {
        if (address_->text().trimmed().isEmpty())
            return true;
        addTyped();
        return address_->text().isEmpty();
    }

private:
    // A list with `button` beside it, at its top, added to `layout`.
    QListWidget* listBeside(QPushButton* button, QBoxLayout* layout, const char* listName, const char* buttonName)
    {
        auto* list = new QListWidget(this);
        list->setObjectName(QString::fromLatin1(listName));
        button->setObjectName(QString::fromLatin1(buttonName));
        auto* row = new QHBoxLayout;
        row->addWidget(list, 1);
        row->addWidget(button, 0, Qt::AlignTop);
        layout->addLayout(row);
        return list;
    }

    void addKnocking()
    {
        if (auto* item = knockingList_->currentItem() ? knockingList_->currentItem() : knockingList_->item(0))
            (void)refused(this, setup_.addStation("", item->text().toStdString()));
        refresh();
    }

    void addTyped()
    {
        if (!refused(this, setup_.addStation(name_->text().trimmed().toStdString(),
                                             address_->text().trimmed().toStdString()))) {
            name_->clear();
            address_->clear();
        }
        refresh();
    }

    void refresh()
    {
        if (knocking_)
            setup_.setKnocking(knocking_());
        QStringList knocking;
        for (const auto& address : setup_.knocking())
            knocking << QString::fromStdString(address.toString());
        if (knocking != shownKnocking_) {
            const QString current = knockingList_->currentItem() ? knockingList_->currentItem()->text() : QString();
            knockingList_->clear();
            knockingList_->addItems(knocking);
            const auto again = knockingList_->findItems(current, Qt::MatchExactly);
            if (!again.isEmpty())
                knockingList_->setCurrentItem(again.front());
            shownKnocking_ = knocking;
        }
        QStringList stations;
        for (const auto& station : setup_.stations())
            stations << QString::fromStdString(station.computerName + "    " + station.address.toString());
        if (stations != shownStations_) {
            stations_->clear();
            stations_->addItems(stations);
            shownStations_ = stations;
        }
        name_->setPlaceholderText(QString::fromStdString(setup_.suggestedName()));
    }

    FirstRunSetup& setup_;
    KnockingStations knocking_;
    QListWidget* knockingList_;
    QLineEdit* name_;
    QLineEdit* address_;
    QListWidget* stations_;
    QStringList shownKnocking_, shownStations_;
};

class RatesPage final : public QWizardPage {
public:
    RatesPage(FirstRunSetup& setup, QWidget* parent) : QWizardPage(parent), setup_(setup)
    {
        setTitle(QStringLiteral("The rates"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(
            wrappedLabel(QStringLiteral("Type what an hour costs and choose how it is cut. The Rates page under "
                                        "Configuration shows the rows this makes, and takes rows of your own."),
                         this));
        auto* priceRow = new QFormLayout;
        hourPrice_ = namedEdit("firstRun.hourPrice", this);
        hourPrice_->setPlaceholderText(QStringLiteral("2.00"));
        priceRow->addRow(QStringLiteral("Price of one &hour:"), hourPrice_);
        layout->addLayout(priceRow);
        choices_ = new QButtonGroup(this);
        int id = 0;
        for (const auto& preset : FirstRunSetup::kPresets) {
            auto* button = new QRadioButton(QString::fromLatin1(preset.caption), this);
            button->setObjectName(QStringLiteral("firstRun.preset%1").arg(id));
            choices_->addButton(button, id++);
            layout->addWidget(button);
        }
        auto* later = new QRadioButton(QStringLiteral("&Later, under Configuration"), this);
        later->setObjectName(QStringLiteral("firstRun.ratesLater"));
        choices_->addButton(later, kLater);
        layout->addWidget(later);
        choices_->button(0)->setChecked(true);
        preview_ = wrappedLabel(QString(), this);
        preview_->setObjectName(QStringLiteral("firstRun.ratesPreview"));
        layout->addWidget(preview_);
        layout->addWidget(wrappedLabel(QString::fromLatin1(console::kRatesExplained), this));
        connect(hourPrice_, &QLineEdit::textChanged, this, &RatesPage::showPreview);
        connect(choices_, &QButtonGroup::idClicked, this, &RatesPage::showPreview);
        showPreview();
    }

    bool validatePage() override
    {
        // No price typed leaves the rates for later too.
        if (choices_->checkedId() == kLater || hourPrice_->text().trimmed().isEmpty()) {
            setup_.skipRates();
            return true;
        }
        return !refused(this, setup_.chooseRates(presetChosen(), hourPrice_->text().toStdString()));
    }

private:
    static constexpr int kLater = 100;

    RatePreset presetChosen() const
    {
        const int id = choices_->checkedId();
        return FirstRunSetup::kPresets[static_cast<std::size_t>(id >= 0 && id < 3 ? id : 0)].preset;
    }

    // The rows the choice makes, as the Rates page will list them.
    void showPreview()
    {
        FirstRunSetup trial;
        if (choices_->checkedId() == kLater || trial.chooseRates(presetChosen(), hourPrice_->text().toStdString())) {
            preview_->clear();
            return;
        }
        QStringList rows;
        for (const auto& block : trial.rates())
            rows << QStringLiteral("%1 %2 at %3")
                        .arg(QString::fromStdString(block.blockDuration),
                             block.blockCount == store::kRepeatBlock ? QStringLiteral("etc.")
                                                                     : QStringLiteral("x %1").arg(block.blockCount),
                             QString::fromStdString(store::formatMoney(block.price)));
        preview_->setText(QStringLiteral("Rows: ") + rows.join(QStringLiteral(", then ")));
    }

    FirstRunSetup& setup_;
    QLineEdit* hourPrice_;
    QButtonGroup* choices_;
    QLabel* preview_;
};

class ReceiptPage final : public QWizardPage {
public:
    ReceiptPage(FirstRunSetup& setup, QWidget* parent) : QWizardPage(parent), setup_(setup)
    {
        setTitle(QStringLiteral("The receipt"));
        auto* form = new QFormLayout(this);
        form->addRow(wrappedLabel(QStringLiteral("Two lines printed at the head of every receipt, such as the "
                                                 "cafe's name and address. Leave them empty for now if you like."),
                                  this));
        line1_ = namedEdit("firstRun.receiptLine1", this);
        line2_ = namedEdit("firstRun.receiptLine2", this);
        for (QLineEdit* edit : {line1_, line2_})
            edit->setMaxLength(static_cast<int>(store::Configuration::kLineSize) - 1);
        form->addRow(QStringLiteral("Line &1:"), line1_);
        form->addRow(QStringLiteral("Line &2:"), line2_);
    }

    bool validatePage() override
    {
        setup_.setReceiptLines(line1_->text().toStdString(), line2_->text().toStdString());
        return true;
    }

private:
    FirstRunSetup& setup_;
    QLineEdit* line1_;
    QLineEdit* line2_;
};

} // namespace

FirstRunWizard::FirstRunWizard(FirstRunSetup& setup, KnockingStations knocking, QWidget* parent) : QWizard(parent)
{
    setObjectName(QStringLiteral("firstRunWizard"));
    setWindowTitle(QStringLiteral("Brisko - a new cafe"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    addPage(new PasswordPage(setup, this));
    addPage(new StationsPage(setup, std::move(knocking), this));
    addPage(new RatesPage(setup, this));
    addPage(new ReceiptPage(setup, this));
}

} // namespace console::ui
