#include "convert/DelayCheck.h"

bool isNumericEntry(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    locale.toDouble(trimmed, &ok);
    if (!ok)
        QLocale::c().toDouble(trimmed, &ok);
    return ok;
}
