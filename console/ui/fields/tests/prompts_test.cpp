// The operator prompts, offscreen: each question asked through the console
// interface, answered inside the real modal dialog with keys and clicks.
#include "field_test_support.h"
#include "money_field_edit.h"
#include "password_prompt.h"
#include "price_field_prompt.h"

#include "console/texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>

using namespace console::ui;
using namespace console::ui::test;

class PromptsTest : public QObject {
    Q_OBJECT

    // Asks for the password and answers with `keys` followed by `finalKey`.
    static std::string answerPassword(const QString& keys, Qt::Key finalKey)
    {
        QtPasswordPrompt prompt;
        whenModalShown([keys, finalKey](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>("passwordEdit");
            QVERIFY(edit);
            QTRY_VERIFY(edit->hasFocus());
            QTest::keyClicks(edit, keys);
            QTest::keyClick(edit, finalKey);
        });
        return prompt.askPassword("");
    }

    // Asks for the price of "Cake" on a field reading 0.00, lets `answer` act
    // in the dialog once the price edit has the focus, and gives the field's text.
    static std::string answerPrice(const std::function<void(QWidget*, MoneyFieldEdit*)>& answer)
    {
        fields::MoneyField price;
        price.setValue(0.0, 2);
        QtPriceFieldPrompt prompt;
        whenModalShown([answer](QWidget* dialog) {
            auto* edit = dialog->findChild<MoneyFieldEdit*>("priceEdit");
            QTRY_VERIFY(edit->hasFocus());
            answer(dialog, edit);
        });
        prompt.askPrice(console::priceQuestion("Cake"), price);
        return price.text();
    }

private slots:
    void passwordPromptLooksAsItShould()
    {
        QtPasswordPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("passwordPromptDialog"));
            QCOMPARE(dialog->windowTitle(), QString());
            QCOMPARE(dialog->findChild<QLabel*>("passwordLabel")->text(), QString("Password:"));
            auto* edit = dialog->findChild<QLineEdit*>("passwordEdit");
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
            QCOMPARE(edit->accessibleName(), QString("Password"));
            QVERIFY(dialog->findChildren<QAbstractButton*>().isEmpty());
            dialog->close();
        });
        QCOMPARE(prompt.askPassword(""), std::string());
    }

    void aNewCafesPromptShowsItsHintAndAnOkButton()
    {
        QtPasswordPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            auto* hint = dialog->findChild<QLabel*>("passwordHint");
            QVERIFY(hint);
            QVERIFY(hint->isVisible());
            QCOMPARE(hint->text(), QString("No password yet: press Enter."));
            auto* ok = dialog->findChild<QAbstractButton*>("passwordOk");
            QVERIFY(ok);
            QTRY_VERIFY(dialog->findChild<QLineEdit*>("passwordEdit")->hasFocus());
            ok->click();
        });
        QCOMPARE(prompt.askPassword("No password yet: press Enter."), std::string());
    }

    void enterGivesTheTypedPassword()
    {
        QCOMPARE(answerPassword("s3cret word", Qt::Key_Return), std::string("s3cret word"));
        QCOMPARE(answerPassword("", Qt::Key_Enter), std::string());
    }

    void escapeGivesTheEmptyPassword() { QCOMPARE(answerPassword("s3cret", Qt::Key_Escape), std::string()); }

    void eachQuestionStartsEmpty()
    {
        QtPasswordPrompt prompt;
        whenModalShown([](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("passwordEdit"), "first");
            QTest::keyClick(dialog->findChild<QLineEdit*>("passwordEdit"), Qt::Key_Return);
        });
        QCOMPARE(prompt.askPassword(""), std::string("first"));
        whenModalShown([](QWidget* dialog) {
            QCOMPARE(dialog->findChild<QLineEdit*>("passwordEdit")->text(), QString());
            QTest::keyClick(dialog->findChild<QLineEdit*>("passwordEdit"), Qt::Key_Return);
        });
        QCOMPARE(prompt.askPassword(""), std::string());
    }

    void priceFieldPromptLooksAsItShould()
    {
        // Item captions are shown as typed, markup-like text included.
        const std::string question = console::priceQuestion("Tea <b>large</b> & \"hot\"");
        fields::MoneyField price;
        price.setValue(0.0, 2);
        QtPriceFieldPrompt prompt;
        whenModalShown([question](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("priceFieldPromptDialog"));
            QCOMPARE(dialog->windowTitle(), QString("Edit Price"));
            auto* text = dialog->findChild<QLabel*>("questionText");
            QCOMPARE(text->text(), QString::fromStdString(question));
            QCOMPARE(text->textFormat(), Qt::PlainText);
            auto* edit = dialog->findChild<MoneyFieldEdit*>("priceEdit");
            QVERIFY(edit);
            QTRY_VERIFY(edit->hasFocus());
            QCOMPARE(edit->text(), QString("0.00"));
            QVERIFY(edit->alignment() & Qt::AlignRight);
            QCOMPARE(edit->accessibleName(), QString("Price"));
            auto* ok = dialog->findChild<QPushButton*>("okButton");
            QCOMPARE(ok->text(), QString("OK"));
            QVERIFY(ok->isDefault());
            // The close box: the dialog is rejected and the field keeps its text.
            dialog->close();
        });
        prompt.askPrice(question, price);
        QCOMPARE(price.text(), std::string("0.00"));
    }

    void okTakesTheTypedPrice()
    {
        const std::string price = answerPrice([](QWidget* dialog, MoneyFieldEdit* edit) {
            QTest::keyClicks(edit, "250x");
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        QCOMPARE(price, std::string("2.50"));
    }

    void enterInTheFieldConfirms()
    {
        bool closedByEnter = false;
        const std::string price = answerPrice([&closedByEnter](QWidget* dialog, MoneyFieldEdit* edit) {
            QTest::keyClicks(edit, "75");
            QTest::keyClick(edit, Qt::Key_Return);
            closedByEnter = !dialog->isVisible();
        });
        QVERIFY(closedByEnter);
        QCOMPARE(price, std::string("0.75"));
    }

    void escapeLeavesWhatWasTyped()
    {
        const std::string price = answerPrice([](QWidget*, MoneyFieldEdit* edit) {
            QTest::keyClicks(edit, "5");
            QTest::keyClick(edit, Qt::Key_Escape);
        });
        QCOMPARE(price, std::string("0.05"));
    }
};

int runPromptsTests(int argc, char** argv)
{
    PromptsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "prompts_test.moc"
