#include "testhelpers.h"

#include "definitions/filecharsource.h"
#include "definitions/memorycharsource.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

TEST(CharSource, FileEndHeldCharacterAndPushBackSlot) {
    QTemporaryDir dir;
    FileCharSource src(writeFile(dir, "two.def", "a\xff"));
    EXPECT_EQ(src.status(), 0);
    EXPECT_EQ(src.get(), 'a');
    EXPECT_TRUE(src.unget('z'));
    EXPECT_FALSE(src.unget('y')); // one character deep: the second is dropped
    EXPECT_EQ(src.get(), 'z');
    EXPECT_EQ(src.get(), 0xFF); // bytes are 0..255, never negative
    EXPECT_FALSE(src.atEnd());  // the end is known only once a read runs into it
    EXPECT_TRUE(src.unget('q'));
    EXPECT_EQ(src.get(), 'q');
    EXPECT_EQ(src.get(), -1);
    EXPECT_EQ(src.status(), -1);
    EXPECT_TRUE(src.atEnd());
    EXPECT_TRUE(src.unget('w')); // a held character still comes back after the end
    EXPECT_EQ(src.get(), 'w');
    EXPECT_EQ(src.get(), -1);
}

TEST(CharSource, MissingFileOrDirectoryHasNoInput) {
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.def"), dir.path()}) {
        FileCharSource src(path);
        EXPECT_EQ(src.status(), -2);
        EXPECT_TRUE(src.atEnd());
        EXPECT_EQ(src.get(), -2);
    }
}

TEST(CharSource, CarriageReturnsArriveUntranslated) {
    QTemporaryDir dir;
    FileCharSource src(writeFile(dir, "crlf.def", "a\r\nb"));
    EXPECT_EQ(src.get(), 'a');
    EXPECT_EQ(src.get(), '\r');
    EXPECT_EQ(src.get(), '\n');
    EXPECT_EQ(src.get(), 'b');
}

// The buffered fast path, the chunked file reader and plain virtual get() must
// all give the same tokens, also where tokens straddle chunk boundaries.
TEST(CharSource, FastPathFileAndPlainReadsAgree) {
    std::string text;
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    const char* pieces[] = {"ident_9 ",
                            "0X1fG ",
                            "1.5e+3 ",
                            "\"str\\\"ing\\41\\4z\" ",
                            "# c\n",
                            "// c\n",
                            "/* b\n */",
                            "/*/ x */",
                            "-> ",
                            "\n",
                            "\r\n",
                            "\xe9\x01 ",
                            "\"multi\nline\" ",
                            "a/b ",
                            "1e5e3 "};
    while (text.size() < 300000)
        text += pieces[next() % (sizeof pieces / sizeof *pieces)];
    text += "\"open at the end";

    QTemporaryDir dir;
    const QString path = writeFile(dir, "mix.def", text);
    Tokenizer fromFile(std::make_unique<FileCharSource>(path));
    setReaderComments(fromFile);
    Tokenizer plain(std::make_unique<PlainSource>(std::make_unique<MemoryCharSource>(text)));
    setReaderComments(plain);

    const std::vector<Tok> expected = tokenize(text);
    EXPECT_GT(expected.size(), 10000u);
    EXPECT_EQ(expected.back().kind, Token::SourceError);
    EXPECT_EQ(drain(fromFile), expected);
    EXPECT_EQ(drain(plain), expected);
}
