#include "DelayText.h"

#include <QRegularExpression>

#include <cmath>

std::optional<double> readDelay(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral(R"(^[ \t]*([+-]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)(?:[eE][+-]?[0-9]+)?)[ \t]*$)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumericEntry(const QString &text)
{
    return readDelay(text).has_value();
}

bool isUsableDelay(const QString &text)
{
    const std::optional<double> seconds = readDelay(text);
    return seconds && *seconds > 0;
}
