#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest/QtTest>

// Points the settings store (user and system scope) and the user's data folder (recovery
// copies) at fresh temporary folders, so no test reads or writes a developer's own. Must run
// before the first settings access.
inline QTemporaryDir& redirectSettings() {
    static QTemporaryDir root;
    QDir(root.path()).mkpath("user");
    QDir(root.path()).mkpath("system");
    QDir(root.path()).mkpath("data");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath("user")));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root.filePath("system")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("data")));
    return root;
}

// QTEST_MAIN with the settings redirected before the application object exists.
#define DRAFTEL_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                              \
        redirectSettings();                                                                        \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
