#pragma once

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// A file with these bytes (empty by default) for a test to find.
inline void writeTestFile(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(path));
}

// Every test runs against a settings store in a temporary folder, set before
// any QSettings exists, so no test reads or writes the user's real settings.
#define PICTOREEL_TEST_MAIN(TestClass)                                                     \
    int main(int argc, char *argv[])                                                       \
    {                                                                                      \
        QTemporaryDir settingsHome;                                                        \
        qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());                     \
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,                  \
                           settingsHome.path());                                           \
        QApplication app(argc, argv);                                                      \
        TestClass test;                                                                    \
        return QTest::qExec(&test, argc, argv);                                            \
    }
