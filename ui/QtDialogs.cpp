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
    // The filter's own description stays as it is; Qt shows it without the
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

QString QtDialogs::getSaveFileName(QWidget *owner, const QString &title, const QList<FileType> &types)
{
    QStringList filters;
    for (const FileType &type : types)
        filters << type.filter;
    QFileDialog dialog(owner, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The dialog adds the suffix before it asks about replacing a file, so it
    // asks about the name that is really written.
    const auto useSuffixOf = [&](const QString &filter) {
        dialog.setDefaultSuffix(types.value(filters.indexOf(filter)).defaultSuffix);
    };
    useSuffixOf(filters.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().value(0));
}
