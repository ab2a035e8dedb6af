#include "DelayEntry.h"

#include "DelayText.h"

bool isNumericEntry(const QString &text)
{
    return readDelaySeconds(text.toStdString()).has_value();
}

bool isUsableDelay(const QString &text)
{
    const std::optional<double> seconds = readDelaySeconds(text.toStdString());
    return seconds && *seconds > 0;
}
