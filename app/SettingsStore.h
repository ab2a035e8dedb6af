#pragma once

#include "Dialogs.h"

#include <QSettings>
#include <QString>

#include <memory>

// The per-user settings store: string values addressed by application name,
// section and key. On Linux it is QSettings' native format, one file per
// application (~/.config/<app>.conf) with the section as group; on Windows the
// registry key HKEY_CURRENT_USER\Software\<app>, with the section as subkey
// and the key as its value.
std::unique_ptr<QSettings> openSettingsStore(const QString &app);

QString readSetting(const QString &app, const QString &section, const QString &key,
                    const QString &defaultValue);

// Stores the value and syncs it to disk before returning. Returns false when the
// store could not be written; the caller decides whether that matters.
bool writeSetting(const QString &app, const QString &section, const QString &key,
                  const QString &value);

// Where the program's settings are kept, and the delay.
inline const QString kSettingsApp = QStringLiteral("Velmora");
inline const QString kSettingsSection = QStringLiteral("Pictoreel");
inline const QString kDelayKey = QStringLiteral("Delay");
inline const QString kDefaultDelay = QStringLiteral("1");

// The folder the file dialogs last used, kept under this key.
inline const QString kLastFolderKey = QStringLiteral("LastFolder");
FolderMemory lastFolderInSettings();
