#pragma once

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

// A file with these bytes (empty by default) for a test to find.
inline void writeTestFile(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

// Every test runs against a settings store of its own, set before any
// QSettings exists, so no test reads or writes the user's real settings: a
// temporary folder; on Windows, whose store is the registry, a temporary key
// standing in for HKEY_CURRENT_USER in this process.
class TestSettingsStore
{
public:
    TestSettingsStore()
    {
        qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
#ifdef Q_OS_WIN
        RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, user);
#endif
    }
#ifdef Q_OS_WIN
    ~TestSettingsStore()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(user);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
    }
    static inline HKEY user = nullptr;   // what HKEY_CURRENT_USER stands for
#endif

private:
    QTemporaryDir m_home;
#ifdef Q_OS_WIN
    const std::wstring m_key = L"Software\\Pictoreel tests " + std::to_wstring(GetCurrentProcessId());
#endif
};

// While it lives, the settings store cannot be written: its folder is an
// ordinary file, or on Windows its key has been deleted.
class UnwritableSettingsStore
{
public:
    UnwritableSettingsStore()
    {
        writeTestFile(m_dir.filePath("file"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("file"));
#ifdef Q_OS_WIN
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Gone", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_gone, nullptr);
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Gone");
        RegOverridePredefKey(HKEY_CURRENT_USER, m_gone);
#endif
    }
    ~UnwritableSettingsStore()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
#ifdef Q_OS_WIN
        RegOverridePredefKey(HKEY_CURRENT_USER, TestSettingsStore::user);
        RegCloseKey(m_gone);
#endif
    }

private:
    QTemporaryDir m_dir;
#ifdef Q_OS_WIN
    HKEY m_gone = nullptr;
#endif
};

// Qt's own dialogs on every system, which tests drive (Windows' native ones are
// tried by the real-window test under Wine); the log on standard output, where
// Qt sends that of a program without a console to the debugger.
#define PICTOREEL_TEST_MAIN(TestClass)                                                     \
    int main(int argc, char *argv[])                                                       \
    {                                                                                      \
        const TestSettingsStore settings;                                                  \
        qputenv("QT_FORCE_STDERR_LOGGING", "1");                                           \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                           \
        QApplication app(argc, argv);                                                      \
        TestClass test;                                                                    \
        return QTest::qExec(&test, argc, argv);                                            \
    }
