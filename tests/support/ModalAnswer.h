#pragma once

#include <QApplication>
#include <QPointer>
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
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            if (!dialog->isVisible())
                return;
            timer->stop();
            timer->deleteLater();
            answer(dialog);
            QPointer<Dialog> open(dialog);
            QTimer::singleShot(3000, [open] {
                if (open && open->isVisible())
                    QMetaObject::invokeMethod(open.data(), "reject");
            });
        }
    });
    timer->start(10);
}
