#include "SettingsStore.h"

namespace {

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

std::unique_ptr<QSettings> openSettingsStore(const QString &app)
{
#ifdef Q_OS_WIN
    // By path: the store by application name alone would be the key's
    // OrganizationDefaults subkey.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + app, QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app);
#endif
}

QString readSetting(const QString &app, const QString &section, const QString &key,
                    const QString &defaultValue)
{
    const QVariant value = openSettingsStore(app)->value(groupKey(section, key));
    // A stored empty string is a value like any other; only a missing key
    // yields the default.
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

bool writeSetting(const QString &app, const QString &section, const QString &key,
                  const QString &value)
{
    const std::unique_ptr<QSettings> store = openSettingsStore(app);
    store->setValue(groupKey(section, key), value);
    store->sync();
    return store->status() == QSettings::NoError;
}

FolderMemory lastFolderInSettings()
{
    return {[] { return readSetting(kSettingsApp, kSettingsSection, kLastFolderKey, QString()); },
            [](const QString &folder) { writeSetting(kSettingsApp, kSettingsSection, kLastFolderKey, folder); }};
}
