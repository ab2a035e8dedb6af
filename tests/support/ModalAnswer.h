#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal dialog of type Dialog once it is shown: calls answer
// with it. Used to drive Qt's real dialogs from a test.
template <typename Dialog>
void answerNextModal(std::function<void(Dialog *)> answer)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            if (!dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start(10);
}
