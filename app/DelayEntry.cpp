#include "DelayEntry.h"

#include "DelayRange.h"
#include "DelayText.h"

#include <QCoreApplication>

bool isNumericEntry(const QString &text)
{
    return readDelaySeconds(text.toStdString()).has_value();
}

bool isUsableDelay(const QString &text)
{
    const std::optional<double> seconds = readDelaySeconds(text.toStdString());
    return seconds && isPlayableDelay(*seconds);
}

QString unusableDelayMessage()
{
    return QCoreApplication::translate("MainWindow", "The delay must be a number of seconds from %1 to %2, "
                                                     "such as 2 or 1.5.")
        .arg(QString::fromStdString(readableSeconds(kShortestDelaySeconds)),
             QString::fromStdString(readableSeconds(kLongestDelaySeconds)));
}
