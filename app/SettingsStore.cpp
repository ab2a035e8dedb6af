#include "SettingsStore.h"

#include <QSettings>

namespace {

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString readSetting(const QString &app, const QString &section, const QString &key,
                    const QString &defaultValue)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, app);
    const QVariant value = store.value(groupKey(section, key));
    // A stored empty string is a value like any other; only a missing key
    // yields the default.
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

bool writeSetting(const QString &app, const QString &section, const QString &key,
                  const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, app);
    store.setValue(groupKey(section, key), value);
    store.sync();
    return store.status() == QSettings::NoError;
}

FolderMemory lastFolderInSettings()
{
    return {[] { return readSetting(kSettingsApp, kSettingsSection, kLastFolderKey, QString()); },
            [](const QString &folder) { writeSetting(kSettingsApp, kSettingsSection, kLastFolderKey, folder); }};
}
