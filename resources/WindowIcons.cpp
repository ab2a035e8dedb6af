#include "WindowIcons.h"

// The names are the resource aliases given in this folder's CMakeLists.txt.
namespace WindowIcons {

QIcon addFiles()
{
    return QIcon(QStringLiteral(":/icons/add-files"));
}

QIcon addFolder()
{
    return QIcon(QStringLiteral(":/icons/add-folder"));
}

QIcon convert()
{
    return QIcon(QStringLiteral(":/icons/convert"));
}

} // namespace WindowIcons
