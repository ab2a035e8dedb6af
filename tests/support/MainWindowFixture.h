#pragma once

#include "ScriptedDialogs.h"
#include "TestMain.h"

#include "MainWindow.h"
#include "SettingsStore.h"

#include <QLineEdit>

// A main window over scripted (or Qt's real) dialogs, an empty program folder of
// its own and a home-page draw that never opens anything.
struct MainWindowFixture {
    explicit MainWindowFixture(const QString &programFolder = {}, Dialogs *realDialogs = nullptr)
        : window({realDialogs ? realDialogs : &dialogs, programFolder.isEmpty() ? folder.path() : programFolder,
                {[] { return 0.5; }, [](const QUrl &) {}}})
    {
    }

    void showLoaded()
    {
        window.load();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    QLineEdit *delayEdit() { return window.findChild<QLineEdit *>(QStringLiteral("delayEdit")); }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    MainWindow window;
};

inline QString storedDelay()
{
    return readSetting(kSettingsApp, kSettingsSection, kDelayKey, QStringLiteral("<missing>"));
}

inline void clearSettings()
{
    openSettingsStore(kSettingsApp)->clear();
}
