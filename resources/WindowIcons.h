#pragma once

#include <QIcon>

// The window's icons, drawn from resources/*.svg and built into the program:
// SVG where Qt draws SVG, PNG pictures at two scales on Windows.
namespace WindowIcons {
QIcon addFiles();
QIcon addFolder();
QIcon convert();
} // namespace WindowIcons
