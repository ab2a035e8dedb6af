#pragma once

#include "ScriptedDialogs.h"
#include "TestMain.h"

#include "app/Form1.h"
#include "convert/Settings.h"

#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

// A main window over scripted dialogs, an empty program folder of its own and a
// home-page draw that never opens anything.
struct Form1Fixture {
    explicit Form1Fixture(const QString &programFolder = {})
        : form({&dialogs, programFolder.isEmpty() ? folder.path() : programFolder,
                {[] { return 0.5; }, [](const QUrl &) {}}})
    {
    }

    void showLoaded()
    {
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

    QLineEdit *text1() { return form.findChild<QLineEdit *>(QStringLiteral("Text1")); }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    Form1 form;
};

inline QString storedDelay()
{
    return ReadSetting(kSettingsApp, kSettingsSection, kDelayKey, QStringLiteral("<missing>"));
}

inline void clearSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, kSettingsApp).clear();
}
