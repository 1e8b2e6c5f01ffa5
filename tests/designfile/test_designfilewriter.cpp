#include "designtesthelpers.h"

#include "designfile/designfile.h"
#include "designfile/designfilewriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

int entries(const QTemporaryDir& dir) {
    return int(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size());
}

// Lets this process write files of at most `bytes` bytes, as on a nearly full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // fail the write instead of the process
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST(DesignFileWriter, TheOldFileIsReplacedOnlyByACommit) {
    QTemporaryDir dir;
    const QString path = dir.filePath("design.des");
    const DesignRecords design = smallDesign();
    writeBytes(path, "old");
    {
        DesignFileWriter writer;
        ASSERT_TRUE(writer.begin(path));
        EXPECT_TRUE(writer.write(*design.settings));
        EXPECT_TRUE(writer.write(design.blocks[0]));
        EXPECT_EQ(readBytes(path), "old");
    } // abandoned
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(entries(dir), 1);

    DesignFileWriter writer;
    ASSERT_TRUE(writer.begin(path));
    EXPECT_TRUE(writer.write(*design.settings));
    for (const BlockRecord& b : design.blocks)
        EXPECT_TRUE(writer.write(b));
    for (const WireRecord& w : design.wires)
        EXPECT_TRUE(writer.write(w));
    EXPECT_EQ(readBytes(path), "old");
    ASSERT_TRUE(writer.commit());
    EXPECT_TRUE(writer.errorString().isEmpty());
    EXPECT_EQ(readRecords(readBytes(path)), design);
    EXPECT_EQ(entries(dir), 1);
    EXPECT_FALSE(writer.commit()); // nothing begun since
}

// A save that cannot finish says why and leaves the previous file as it was. (The
// tests run as root, so permission bits would not stop a write.)
TEST(DesignFileWriter, FailedSavesReportAndKeepTheOldFile) {
    QTemporaryDir dir;
    const DesignRecords design = smallDesign();

    DesignFileWriter writer;
    EXPECT_FALSE(writer.write(design.blocks[0]));
    EXPECT_FALSE(writer.errorString().isEmpty());
    EXPECT_FALSE(writer.begin(dir.filePath("no/such/folder/design.des")));
    EXPECT_FALSE(writer.errorString().isEmpty());
    EXPECT_FALSE(writer.write(design.blocks[0]));
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no")));

    ASSERT_TRUE(QDir(dir.path()).mkpath("folder.des/inner"));
    QString error;
    EXPECT_FALSE(writeDesignFile(dir.filePath("folder.des"), design, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.des/inner")).isDir());

    // The disk fills up part way through a design larger than what is left.
    const QString path = dir.filePath("design.des");
    writeBytes(path, "old");
    DesignRecords large = design;
    large.blocks[0].variables.push_back({"text", std::string(64 * 1024, 'v')});
    error.clear();
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(writeDesignFile(path, large, &error));
    }
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG))); // the system's reason
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(entries(dir), 2); // the old file and the folder; no temporary file left

    // The same writer saves again once the cause is gone.
    ASSERT_TRUE(writer.begin(path));
    EXPECT_TRUE(writer.write(large.blocks[0]));
    EXPECT_TRUE(writer.commit());
    EXPECT_EQ(readRecords(readBytes(path)).blocks[0], large.blocks[0]);
}
