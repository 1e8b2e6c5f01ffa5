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
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A design of `blocks` blocks, each with a variable, as a person would make it bigger.
DesignRecords designOf(int blocks) {
    DesignRecords d;
    d.settings = SettingsRecord{"logic.def", "out.txt", 40, 40, 800, 600};
    for (int i = 0; i < blocks; ++i) {
        d.blocks.push_back({std::uint32_t(i),
                            "AND",
                            float(10 * i),
                            20.5f,
                            float(i + 1),
                            {{"name", "gate" + std::to_string(i)}}});
    }
    return d;
}

bool writeProcFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY);
    const bool ok = fd >= 0 && write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0) {
        close(fd);
    }
    return ok;
}

constexpr int kCannotMount = 77;

// Runs check in a child process that sees a tmpfs of `size` (mount option syntax) at `folder`,
// mounted in mount and user namespaces of its own, so that nothing outside the child sees it.
// Returns the child's exit status: check's result, or kCannotMount.
int withTinyFileSystem(const QString& folder, const char* size, int (*check)(const QString&)) {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    const pid_t child = fork();
    if (child == 0) {
        const QByteArray where = QFile::encodeName(folder);
        const std::string options = std::string("size=") + size;
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("draftel-test", where.constData(), "tmpfs", 0, options.c_str()) != 0) {
            _exit(kCannotMount);
        }
        _exit(check(folder));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Inside the tiny file system: a small design exists, the disk fills up, and saves of every
// size fail with the system's reason and leave it as it was; with room again a save succeeds.
// Returns 0, or the number of the first check that failed (printed on the error output).
int savesIntoAFullFileSystem(const QString& folder) {
    int step = 0;
    const auto failed = [&step](const char* what) {
        std::fprintf(stderr, "full file system, check %d: %s\n", step, what);
        return step;
    };
    const QDir dir(folder);
    const QString path = dir.filePath("design.des");
    ++step;
    if (!writeDesignFile(path, designOf(12)))
        return failed("the first save");
    const QByteArray old = readBytes(path);

    ++step;
    QFile filler(dir.filePath("filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed("opening the filler");
    const QByteArray chunk(512, 'f');
    while (filler.write(chunk) == chunk.size()) {
    }
    filler.close();

    for (int blocks : {20, 300, 3000}) { // within the write buffer, past it, well past it
        ++step;
        QString error;
        if (writeDesignFile(path, designOf(blocks), &error))
            return failed("a save reported success on a full disk");
        if (error != QString::fromLocal8Bit(std::strerror(ENOSPC)))
            return failed(qPrintable("the reason given: " + error));
        if (readBytes(path) != old)
            return failed("the old design was changed");
        if (dir.entryList(QDir::Files | QDir::Hidden).size() != 2)
            return failed("a temporary file was left behind");
    }

    ++step;
    filler.remove();
    if (!writeDesignFile(path, designOf(300)) || readRecords(readBytes(path)) != designOf(300))
        return failed("the save once there is room");
    return 0;
}

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

// A file that can take only N bytes, for every N short of the design: every save fails with the
// system's reason and leaves the old design whole, whether the bytes would have gone out while
// writing or only when the last of them were flushed.
TEST(DesignFileWriter, EveryShortWriteFailsTheSave) {
    QTemporaryDir dir;
    const QString path = dir.filePath("design.des");
    const DesignRecords old = designOf(2);
    const DesignRecords larger = designOf(20);
    ASSERT_TRUE(writeDesignFile(path, old));
    const QByteArray oldBytes = readBytes(path);
    const QByteArray largerBytes = designBytes(larger);
    ASSERT_GT(largerBytes.size(), 600);

    for (int room = 0; room <= largerBytes.size(); ++room) {
        SCOPED_TRACE(room);
        QString error;
        bool saved;
        {
            FileSizeLimit limit{rlim_t(room)};
            saved = writeDesignFile(path, larger, &error);
        }
        if (room == largerBytes.size()) {
            EXPECT_TRUE(saved) << error.toStdString();
            EXPECT_EQ(readBytes(path), largerBytes);
        } else {
            ASSERT_FALSE(saved);
            EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
            ASSERT_EQ(readBytes(path), oldBytes);
            EXPECT_EQ(entries(dir), 1);
        }
    }
}

// The same on a real file system that fills up, where one can be mounted.
TEST(DesignFileWriter, SavesIntoAFullFileSystemKeepTheOldFile) {
    QTemporaryDir dir;
    const int result = withTinyFileSystem(dir.path(), "64k", savesIntoAFullFileSystem);
    if (result == kCannotMount) {
        GTEST_SKIP() << "no small tmpfs can be mounted here (user and mount namespaces are not "
                        "available); full disks are covered by EveryShortWriteFailsTheSave only";
    }
    EXPECT_EQ(result, 0) << "see the check named on the error output";
}
