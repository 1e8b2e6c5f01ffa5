#pragma once
// draftel-gen run as a process on files in a temporary directory.

#include "designfile/designfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

struct Outcome {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

inline Outcome runProgram(const QString& program, const QStringList& args,
                          const QString& workingDirectory = QString()) {
    QProcess p;
    p.setWorkingDirectory(workingDirectory);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

inline Outcome run(const QStringList& args, const QString& workingDirectory = QString()) {
    return runProgram(QStringLiteral(DRAFTEL_GEN), args, workingDirectory);
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A design of two blocks of type A of the given definition file, each feeding the other's
// input when loop is set, else only the first feeding the second.
inline DesignRecords twoBlocks(const char* definitionFile, const char* output, bool loop) {
    DesignRecords design;
    design.settings = SettingsRecord{definitionFile, output, 0, 0, 400, 300};
    design.blocks.push_back({0, "A", 10, 10, 1, {}});
    design.blocks.push_back({1, "A", 200, 10, 2, {{"v", "from the design"}}});
    design.wires.push_back({0, 1, 1, 1, WireRecord::StartsHorizontally, {{50, 30}, {190, 30}}});
    if (loop) {
        design.wires.push_back({1, 1, 0, 1, WireRecord::StartsHorizontally, {{240, 30}, {0, 30}}});
    }
    return design;
}

class Cli : public ::testing::Test {
protected:
    // Writes bytes to a path relative to the test's folder, making its folders.
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};
