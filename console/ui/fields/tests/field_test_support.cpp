#include "field_test_support.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTimer>

namespace console::ui::test {

void typeKeys(QWidget* target, const QString& keys)
{
    for (QChar ch : keys) {
        if (ch == QLatin1Char('\b'))
            QTest::keyClick(target, Qt::Key_Backspace);
        else if (ch == QLatin1Char('\r'))
            QTest::keyClick(target, Qt::Key_Return);
        else
            QTest::keyClick(target, ch.toLatin1());
    }
}

void moveCaretByKeys(QWidget* target, int position)
{
    QTest::keyClick(target, Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        QTest::keyClick(target, Qt::Key_Right);
}

void selectByKeys(QWidget* target, int count)
{
    for (int i = 0; i < count; ++i)
        QTest::keyClick(target, Qt::Key_Right, Qt::ShiftModifier);
}

void sendDelete(QWidget* target, bool down, bool autoRepeat)
{
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier,
                    QStringLiteral("\x7f"), autoRepeat);
    QApplication::sendEvent(target, &event);
}

QPoint pointBefore(QLineEdit* edit, int position)
{
    // The middle of the stretch of x where the caret would land at `position`.
    const int y = edit->height() / 2;
    int first = -1;
    int last = -1;
    for (int x = 0; x < edit->width(); ++x) {
        if (edit->cursorPositionAt(QPoint(x, y)) == position) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return QPoint(first < 0 ? 0 : (first + last) / 2, y);
}

bool dropText(QWidget* target, QPoint at, const QString& text)
{
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void openContextMenu(QWidget* target)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
}

void whenModalShown(const std::function<void(QWidget*)>& action)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(dialog);
        QTimer::singleShot(0, dialog, [dialog] {
            if (auto* d = qobject_cast<QDialog*>(dialog); d && d->isVisible())
                d->reject();
        });
    });
    poll->start();
}

} // namespace console::ui::test
