#include "app/Dialogs.h"

#include <QMessageBox>

void QtDialogs::message(QWidget *owner, const QString &text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    kApplicationTitle, text, QMessageBox::Ok, owner);
    box.exec();
}
