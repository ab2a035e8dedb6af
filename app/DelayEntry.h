#pragma once

#include <QString>

// The window's two rules for the delay box, over the reading it shares with
// the converter (readDelaySeconds).

// Whether the delay box holds a number (0 and negative numbers included).
bool isNumericEntry(const QString &text);

// Whether the text can be handed to the converter: a number of seconds that
// every output plays (isPlayableDelay).
bool isUsableDelay(const QString &text);

// What the window says of a delay that is not usable.
QString unusableDelayMessage();
