#include "designtesthelpers.h"

#include "designfile/designfile.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(bytes), bytes.size());
}

DesignRecords readRecords(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    return readDesignFile(device);
}

QByteArray designBytes(const DesignRecords& records) {
    QTemporaryDir dir;
    const QString path = dir.filePath("design.des");
    QString error;
    EXPECT_TRUE(writeDesignFile(path, records, &error)) << error.toStdString();
    return readBytes(path);
}

DesignRecords smallDesign() {
    DesignRecords d;
    d.settings = SettingsRecord{"logic.def", "out.txt", 10, 20, 640, 480};
    d.blocks.push_back({0, "AND", 10.5f, 20.0f, 3.0f, {{"name", "g1"}, {"width", "8"}}});
    d.blocks.push_back({1, "OUT", 200.0f, 20.0f, 4.0f, {}});
    d.wires.push_back({1, 1, 0, 1, WireRecord::FirstEndIsInput, {{190, 25}, {100, 25}, {100, 30}}});
    d.wires.push_back({0, 2, 1, 1, WireRecord::StartsHorizontally, {{40, 30}, {150, 30}}});
    return d;
}
