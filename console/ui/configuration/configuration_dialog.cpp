#include "configuration_dialog.h"

#include "read_only_look.h"

#include "clients_page_widget.h"
#include "console_fonts.h"
#include "pos_items_page_widget.h"
#include "printers_page_widget.h"
#include "rates_page_widget.h"

#include "console/texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace console::ui {

using console::configuration::ConfigurationTab;

ConfigurationDialog::ConfigurationDialog(console::configuration::ConfigurationDialogModel& model, QWidget* parent)
    : QDialog(parent),
      model_(model),
      password_(addEdit("passwordEdit", "Password")),
      confirm_(addEdit("confirmEdit", "Confirm")),
      receiptLine1_(addEdit("receiptLine1Edit", "Receipt line 1")),
      receiptLine2_(addEdit("receiptLine2Edit", "Receipt line 2")),
      dayTotal_(new QLabel(this)),
      cafeKey_(new QLineEdit(this)),
      tabs_(new QTabWidget(this))
{
    setObjectName("configurationDialog");
    setWindowTitle("Configuration");
    setSizeGripEnabled(true);

    password_->setEchoMode(QLineEdit::Password);
    confirm_->setEchoMode(QLineEdit::Password);
    password_->setText(QString::fromStdString(model_.passwordText()));
    confirm_->setText(QString::fromStdString(model_.confirmText()));
    receiptLine1_->setText(QString::fromStdString(model_.receiptLine1Text()));
    receiptLine2_->setText(QString::fromStdString(model_.receiptLine2Text()));
    // Room for a password and a receipt line of ordinary length.
    const int charWidth = fontMetrics().averageCharWidth();
    password_->setMinimumWidth(12 * charWidth);
    confirm_->setMinimumWidth(12 * charWidth);
    receiptLine1_->setMinimumWidth(20 * charWidth);
    receiptLine2_->setMinimumWidth(20 * charWidth);

    dayTotal_->setObjectName("dayTotalLabel");
    dayTotal_->setAccessibleName("Day total");
    dayTotal_->setFont(totalFont());
    dayTotal_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dayTotal_->setText(QString::fromStdString(model_.dayTotalText()));

    // Read-only but selectable, so that the owner can copy it for the stations.
    cafeKey_->setObjectName("cafeKeyField");
    cafeKey_->setAccessibleName("Cafe's key");
    showAsReadOnly(cafeKey_);
    cafeKey_->setText(QString::fromStdString(model_.cafeKeyText()));
    cafeKey_->setToolTip("Type this key once at each station, in its setup dialog.");

    tabs_->setObjectName("tabs");
    tabs_->setAccessibleName("Configuration pages");
    // The pages come before the bottom row, so that Tab reaches them first.
    buildPages();

    terminateClients_ = new QCheckBox("Terminate Clients", this);
    terminateClients_->setObjectName("terminateClientsCheck");
    terminateClients_->setAccessibleName("Terminate Clients");
    terminateClients_->setChecked(model_.terminateClients());
    shutdownClients_ = new QCheckBox("Shutdown Clients", this);
    shutdownClients_->setObjectName("shutdownClientsCheck");
    shutdownClients_->setAccessibleName("Shutdown Clients");
    shutdownClients_->setChecked(model_.shutdownClients());
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("okButton");
    ok_->setAccessibleName("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("cancelButton");
    cancel_->setAccessibleName("Cancel");
    cancel_->setAutoDefault(false);

    // Password and Confirm, the receipt lines beside them, the day total at the right.
    auto* head = new QGridLayout;
    const auto addLabelled = [this, head](const QString& text, QLineEdit* edit, int row, int column) {
        auto* label = new QLabel(text, this);
        label->setObjectName(edit->objectName() + "Label");
        label->setBuddy(edit);
        head->addWidget(label, row, column);
        head->addWidget(edit, row, column + 1);
    };
    addLabelled("Password", password_, 0, 0);
    addLabelled("Confirm", confirm_, 1, 0);
    addLabelled("Receipt line 1:", receiptLine1_, 0, 2);
    addLabelled("Receipt line 2:", receiptLine2_, 1, 2);
    // The day's takings under a label of their own.
    auto* takings = new QVBoxLayout;
    auto* takingsLabel = new QLabel("Today's takings:", this);
    takingsLabel->setObjectName("dayTotalCaption");
    takingsLabel->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    takingsLabel->setBuddy(dayTotal_);
    takings->addWidget(takingsLabel);
    takings->addWidget(dayTotal_);
    head->addLayout(takings, 0, 4, 2, 1);
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 2);
    head->setColumnStretch(4, 1);

    auto* keyRow = new QHBoxLayout;
    auto* keyLabel = new QLabel("Cafe's key (type it at each station):", this);
    keyLabel->setBuddy(cafeKey_);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(cafeKey_, 1);

    auto* foot = new QHBoxLayout;
    foot->addWidget(terminateClients_);
    foot->addWidget(shutdownClients_);
    foot->addStretch();
    foot->addWidget(ok_);
    foot->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(keyRow);
    layout->addWidget(tabs_, 1);
    layout->addLayout(foot);
    openAtNaturalSize();

    connect(password_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setPasswordText(text.toStdString()); });
    connect(confirm_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setConfirmText(text.toStdString()); });
    connect(receiptLine1_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setReceiptLine1Text(text.toStdString()); });
    connect(receiptLine2_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setReceiptLine2Text(text.toStdString()); });
    connect(terminateClients_, &QCheckBox::toggled, this, [this](bool on) { model_.setTerminateClients(on); });
    connect(shutdownClients_, &QCheckBox::toggled, this, [this](bool on) { model_.setShutdownClients(on); });
    connect(ok_, &QPushButton::clicked, this, &ConfigurationDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ConfigurationDialog::reject);

    password_->setFocus();
}

ConfigurationDialog::~ConfigurationDialog()
{
    // Closed some other way than OK or Cancel: the model still counts it as Cancel.
    // Without pages the showing has ended already (or never began).
    if (tabs_->count() > 0 && model_.isOpen()) {
        dropPages();
        model_.cancel();
    }
}

// The size the layouts ask for, as far as the screen allows; the window
// system's default would cut it to two thirds of a small screen.
void ConfigurationDialog::openAtNaturalSize()
{
    QSize size = sizeHint();
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableSize());
    resize(size.expandedTo(minimumSizeHint()));
}

QLineEdit* ConfigurationDialog::addEdit(const char* name, const QString& accessibleName)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    return edit;
}

void ConfigurationDialog::buildPages()
{
    if (!model_.isOpen())
        return;
    // In the order of the tab captions: Clients, POS Items, Printers, Rates.
    const auto& captions = console::kConfigurationTabCaptions;
    tabs_->addTab(new ClientsPageWidget(*model_.clientsPage(), tabs_), captions[0]);
    tabs_->addTab(new PosItemsPageWidget(*model_.posItemsPage(), tabs_), captions[1]);
    tabs_->addTab(new PrintersPageWidget(*model_.printersPage(), tabs_), captions[2]);
    tabs_->addTab(new RatesPageWidget(*model_.ratesPage(), tabs_), captions[3]);
    tabs_->setCurrentIndex(static_cast<int>(model_.currentTab()));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            model_.selectTab(static_cast<ConfigurationTab>(index));
    });
}

// The page widgets show the page models; once the model has closed its pages
// they must read nothing more. Their lists let go first, so that a page shown
// while the tabs go does not read a page that no longer exists.
void ConfigurationDialog::dropPages()
{
    const QSignalBlocker blocker(tabs_);
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto* page = qobject_cast<ConfigurationPageWidget*>(tabs_->widget(i)))
            page->detach();
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
}

void ConfigurationDialog::accept()
{
    if (!model_.isOpen()) {
        QDialog::accept();
        return;
    }
    // A field edit leaving the focus tells its field model, so the focus
    // leaves the pages while their models still exist.
    const QPointer<QWidget> focused = focusWidget();
    if (focused != nullptr && tabs_->isAncestorOf(focused))
        ok_->setFocus();
    // The edits forward every key, so the model already holds what the
    // operator typed. ok() refuses (after telling the operator why) or closes.
    if (!model_.ok()) {
        if (focused != nullptr)
            focused->setFocus();
        return;
    }
    dropPages();
    QDialog::accept();
}

void ConfigurationDialog::reject()
{
    if (model_.isOpen()) {
        dropPages();
        model_.cancel();
    }
    QDialog::reject();
}

} // namespace console::ui
