#include "end_session_dialog.h"

#include "client/texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace client::ui {

EndSessionDialog::EndSessionDialog(client::ClientEngine& engine, QWidget* parent) : QDialog(parent), engine_(engine)
{
    setObjectName("endSessionDialog");
    auto question = engine_.endSessionQuestion();
    setWindowTitle(QString::fromStdString(question.title));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    auto* text = new QLabel(QString::fromStdString(question.text), this);
    text->setObjectName("questionText");
    auto* buttons = new QDialogButtonBox(this);
    auto* end = buttons->addButton(kEndSessionButton, QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(kCancelButton, QDialogButtonBox::RejectRole);
    end->setObjectName("endSessionButton");
    end->setAutoDefault(false);
    cancel->setObjectName("cancelButton");
    cancel->setDefault(true);
    cancel->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);

    watch_.setInterval(10);
    connect(&watch_, &QTimer::timeout, this, [this] {
        if (engine_.endSessionDialogMustClose())
            reject();
    });
    watch_.start();
}

void EndSessionDialog::accept()
{
    watch_.stop();
    engine_.confirmEndSession();
    QDialog::accept();
}

} // namespace client::ui
