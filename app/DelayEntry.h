#pragma once

#include <QString>

// The window's two rules for the delay box, over the reading it shares with
// the converter (readDelaySeconds).

// Whether the delay box holds a number (0 and negative numbers included).
bool isNumericEntry(const QString &text);

// Whether the text can be handed to the converter: a number greater than 0.
bool isUsableDelay(const QString &text);
