#include "installer_dialog.h"

#include "installer/texts.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace installer {

namespace {

QWidget* makePage(const char* heading, const char* objectName, QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(objectName);
    auto* layout = new QVBoxLayout(page);
    auto* title = new QLabel(heading, page);
    title->setObjectName(QString(objectName) + "Heading");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    return page;
}

} // namespace

InstallerDialog::InstallerDialog(WizardSetup setup, QWidget* parent) : QDialog(parent), model_(std::move(setup))
{
    setObjectName("installerDialog");
    setWindowTitle(kWindowTitle);
    showMessage_ = [this](const QString& text, bool failure) {
        if (failure)
            QMessageBox::warning(this, kWindowTitle, text);
        else
            QMessageBox::information(this, kWindowTitle, text);
    };

    auto* choosePage = makePage(kStep1Heading, "choosePage", this);
    consoleRadio_ = new QRadioButton(kConsoleChoice, choosePage);
    consoleRadio_->setObjectName("consoleRadio");
    workstationRadio_ = new QRadioButton(kWorkstationChoice, choosePage);
    workstationRadio_->setObjectName("workstationRadio");
    auto* removalRadio = new QRadioButton(kRemovalChoice, choosePage);
    removalRadio->setObjectName("removalRadio");
    auto* choices = new QButtonGroup(choosePage);
    choices->addButton(consoleRadio_, 0);
    choices->addButton(workstationRadio_, 1);
    choices->addButton(removalRadio, WizardModel::kRemovalChoice);
    choosePage->layout()->addWidget(consoleRadio_);
    choosePage->layout()->addWidget(workstationRadio_);
    choosePage->layout()->addWidget(removalRadio);
    static_cast<QVBoxLayout*>(choosePage->layout())->addStretch();
    connect(choices, &QButtonGroup::idClicked, this, [this](int id) {
        model_.choose(id);
        refresh();
    });

    auto* folderPage = makePage(kStep2Heading, "folderPage", this);
    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(kFolderLabel, folderPage);
    folderEdit_ = new QLineEdit(folderPage);
    folderEdit_->setObjectName("folderEdit");
    folderLabel->setBuddy(folderEdit_);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(folderEdit_, 1);
    static_cast<QVBoxLayout*>(folderPage->layout())->addLayout(folderRow);
    static_cast<QVBoxLayout*>(folderPage->layout())->addStretch();
    connect(folderEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setFolderText(text.toStdString()); });

    auto* summaryPage = makePage(kStep3Heading, "summaryPage", this);
    summaryEdit_ = new QPlainTextEdit(summaryPage);
    summaryEdit_->setObjectName("summaryEdit");
    summaryEdit_->setReadOnly(true);
    summaryPage->layout()->addWidget(summaryEdit_);

    noticeLabel_ = new QLabel(this);
    noticeLabel_->setObjectName("noticeLabel");
    noticeLabel_->setWordWrap(true);
    noticeLabel_->setTextFormat(Qt::PlainText);

    pages_[0] = choosePage;
    pages_[1] = folderPage;
    pages_[2] = summaryPage;

    backButton_ = new QPushButton(kBackCaption, this);
    backButton_->setObjectName("backButton");
    backButton_->setAutoDefault(false);
    nextButton_ = new QPushButton(kNextCaption, this);
    nextButton_->setObjectName("nextButton");
    nextButton_->setDefault(true);
    cancelButton_ = new QPushButton(kCancelCaption, this);
    cancelButton_->setObjectName("cancelButton");
    cancelButton_->setAutoDefault(false);
    connect(backButton_, &QPushButton::clicked, this, &InstallerDialog::onBack);
    connect(nextButton_, &QPushButton::clicked, this, &InstallerDialog::onNext);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backButton_);
    buttons->addWidget(nextButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* page : pages_)
        layout->addWidget(page, 1);
    layout->addWidget(noticeLabel_);
    layout->addLayout(buttons);
    resize(460, 300);
    refresh();
}

void InstallerDialog::onNext()
{
    if (model_.nextInstalls()) {
        runInstallation();
        return;
    }
    model_.next();
    refresh();
}

void InstallerDialog::onBack()
{
    model_.back();
    refresh();
}

void InstallerDialog::runInstallation()
{
    const InstallOutcome outcome = model_.carryOut();
    showMessage_(QString::fromStdString(model_.verdict(outcome)), !outcome.succeeded);
    if (outcome.succeeded)
        accept();
}

void InstallerDialog::refresh()
{
    for (int page = 0; page < WizardModel::kStepCount; ++page)
        pages_[page]->setVisible(model_.pageVisible(page));
    const QString folder = QString::fromStdString(model_.folder());
    if (folderEdit_->text() != folder)
        folderEdit_->setText(folder);
    QString summary = QString::fromStdString(model_.summary());
    summaryEdit_->setPlainText(summary.replace("\r\n", "\n"));
    noticeLabel_->setText(QString::fromStdString(model_.notice()));
    noticeLabel_->setVisible(!model_.notice().empty());
    backButton_->setEnabled(model_.backEnabled());
    nextButton_->setEnabled(model_.nextEnabled());
    nextButton_->setText(QString::fromStdString(model_.nextCaption()));
}

} // namespace installer
