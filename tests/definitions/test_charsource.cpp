#include "testhelpers.h"

#include "definitions/filecharsource.h"
#include "definitions/memorycharsource.h"

#include <gtest/gtest.h>

TEST(CharSource, FileEndAndPushBackSlot) {
    QTemporaryDir dir;
    FileCharSource src(writeFile(dir, "two.def", "a\xff"));
    EXPECT_EQ(src.get(), 'a');
    EXPECT_TRUE(src.unget('z'));
    EXPECT_FALSE(src.unget('y')); // one character deep: the second is dropped
    EXPECT_EQ(src.get(), 'z');
    EXPECT_EQ(src.get(), 0xFF);
    EXPECT_EQ(src.status(), 0); // the end is known only once a read runs into it
    EXPECT_EQ(src.get(), -1);
    EXPECT_EQ(src.status(), -1);
    EXPECT_TRUE(src.atEnd());
    EXPECT_TRUE(src.unget('w')); // a held character still comes back after the end
    EXPECT_EQ(src.get(), 'w');
    EXPECT_EQ(src.get(), -1);

    for (const QString& path : {dir.filePath("missing.def"), dir.path()}) {
        FileCharSource none(path);
        EXPECT_EQ(none.status(), -2);
        EXPECT_EQ(none.get(), -2);
    }
}

// The buffered fast path, the chunked file reader and plain virtual get() must
// all give the same tokens, also where tokens straddle chunk boundaries.
TEST(CharSource, FastPathFileAndPlainReadsAgree) {
    std::string text;
    unsigned seed = 12345;
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
    while (text.size() < 300000) {
        seed = seed * 1103515245u + 12345u;
        text += pieces[(seed >> 16) % (sizeof pieces / sizeof *pieces)];
    }
    text += "\"open at the end";

    QTemporaryDir dir;
    Tokenizer fromFile(std::make_unique<FileCharSource>(writeFile(dir, "mix.def", text)));
    setReaderComments(fromFile);
    Tokenizer plain(std::make_unique<PlainSource>(std::make_unique<MemoryCharSource>(text)));
    setReaderComments(plain);

    const std::vector<Tok> expected = tokenize(text);
    EXPECT_GT(expected.size(), 10000u);
    EXPECT_EQ(drain(fromFile), expected);
    EXPECT_EQ(drain(plain), expected);
}
