#include "Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

namespace {

// More than this, and a box would outgrow the screen or cut words off.
constexpr qsizetype kLongestText = 1200;
constexpr qsizetype kMostLines = 12;

// Opens the part that scrolls at once, what is in it being why the box is
// shown, and sizes it for a dozen lines of paths.
void showDetails(QMessageBox &box, const QString &details)
{
    box.setDetailedText(details);
    for (QAbstractButton *button : box.buttons())
        if (box.buttonRole(button) == QMessageBox::ActionRole && button->property("offer").isNull()) {
            button->click();
            break;
        }
    if (auto *part = box.findChild<QTextEdit *>()) {
        part->setLineWrapMode(QTextEdit::NoWrap);
        part->setMinimumWidth(part->fontMetrics().averageCharWidth() * 80);
        part->setFixedHeight(part->fontMetrics().lineSpacing() * int(kMostLines));
    }
}

} // namespace

void QtDialogs::message(QWidget *owner, const QString &text, MessageIcon icon)
{
    const bool tooLong = text.size() > kLongestText || text.count(QLatin1Char('\n')) >= kMostLines;
    const qsizetype paragraphEnd = text.indexOf(QLatin1String("\n\n"));
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, kApplicationTitle,
                    tooLong && paragraphEnd > 0 ? text.left(paragraphEnd) : text, QMessageBox::Ok, owner);
    if (tooLong)
        showDetails(box, paragraphEnd > 0 ? text.mid(paragraphEnd + 2) : text);
    box.exec();
}

bool QtDialogs::offer(QWidget *owner, const QString &summary, const QString &details, const QString &action)
{
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, summary, QMessageBox::Ok, owner);
    QPushButton *offered = box.addButton(action, QMessageBox::ActionRole);
    offered->setProperty("offer", true);
    showDetails(box, details);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == offered;
}

QString QtDialogs::startFolder() const
{
    const QString folder = m_lastFolder.recall ? m_lastFolder.recall() : QString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void QtDialogs::remember(const QString &folder)
{
    if (m_lastFolder.remember && !folder.isEmpty())
        m_lastFolder.remember(QDir::toNativeSeparators(folder));
}

QStringList QtDialogs::getOpenFileNames(QWidget *owner, const QString &title, const QString &filter)
{
    // The filter's own description stays as it is; Qt shows it without the
    // pattern list that follows it.
    const QStringList chosen = QFileDialog::getOpenFileNames(owner, title, startFolder(), filter, nullptr,
                                                             QFileDialog::HideNameFilterDetails);
    if (!chosen.isEmpty())
        remember(QFileInfo(chosen.first()).absolutePath());
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
    const QString folder = QFileDialog::getExistingDirectory(owner, prompt, startFolder());
    remember(folder);
    return QDir::toNativeSeparators(folder);
}

QString QtDialogs::getSaveFileName(QWidget *owner, const QString &title, const QList<FileType> &types)
{
    QStringList filters;
    for (const FileType &type : types)
        filters << type.filter;
    QFileDialog dialog(owner, title, startFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The dialog adds the suffix before it asks about replacing a file, so it
    // asks about the name that is really written.
    const auto useSuffixOf = [&](const QString &filter) {
        dialog.setDefaultSuffix(types.value(filters.indexOf(filter)).defaultSuffix);
    };
    useSuffixOf(filters.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().first();
    remember(QFileInfo(chosen).absolutePath());
    return QDir::toNativeSeparators(chosen);
}
