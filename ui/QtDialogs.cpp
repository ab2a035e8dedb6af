#include "Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void QtDialogs::message(QWidget *owner, const QString &text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    kApplicationTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

QStringList QtDialogs::getOpenFileNames(QWidget *owner, const QString &title, const QString &filter)
{
    // The filter's own description stays as designed; Qt shows it without the
    // pattern list that follows it.
    const QStringList chosen = QFileDialog::getOpenFileNames(owner, title, QString(), filter, nullptr,
                                                             QFileDialog::HideNameFilterDetails);
    QStringList paths;
    for (const QString &path : chosen)
        paths << QDir::toNativeSeparators(path);
    return paths;
}

QString QtDialogs::getText(QWidget *owner, const QString &prompt, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner, kApplicationTitle, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::getExistingDirectory(QWidget *owner, const QString &prompt)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(owner, prompt));
}

QString QtDialogs::getSaveFileName(QWidget *owner, const QString &title, const QString &filter)
{
    return QDir::toNativeSeparators(QFileDialog::getSaveFileName(owner, title, QString(), filter));
}
