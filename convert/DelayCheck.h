#pragma once

#include <QLocale>
#include <QString>

// Whether the delay box holds a number: digits with an optional sign, decimal
// separator, thousands separators and exponent, blanks around allowed. The
// user's locale decides the separators; the C locale's "1.5" is accepted too,
// as the converter reads both marks.
bool isNumericEntry(const QString &text, const QLocale &locale = QLocale());
