#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Calls answer with the next modal Dialog once it is shown, to drive Qt's real
// dialogs; one left open is rejected later, so a failing test fails, not hangs.
template <typename Dialog>
void answerNextModal(std::function<void(Dialog *)> answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
        QTimer::singleShot(3000, dialog, [dialog] { if (dialog->isVisible()) dialog->reject(); });
    });
    timer->start(10);
}
