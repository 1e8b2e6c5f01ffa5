#include "testhelpers.h"

#include "definitions/filecharsource.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {
ReadResult readFile(DefinitionSet& set, const QString& path) {
    Tokenizer tokenizer(std::make_unique<FileCharSource>(path));
    const bool failed = set.read(tokenizer);
    return {failed, tokenizer.errorText() ? tokenizer.errorText() : ""};
}
} // namespace

TEST(BadInput, BinaryBytesAndNuls) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.push_back(char(i));
    const std::pair<std::string, const char*> cases[] = {
        {allBytes, "Syntax error. Line: 1"},
        {"\x89PNG\r\n\x1a\n", "Syntax error. Line: 1"},
        {"ok \"v\"\n\n" + allBytes.substr(1), "Syntax error. Line: 3"},
        {std::string("a \"x\"\n\0", 7), "Syntax error. Line: 2"},
        {"name\xe9 \"v\"", "Syntax error. Line: 1"}, // 0x80..0xFF end an identifier
        {"block A ( ) { k\xff \"v\" }", "Expecting a string or an identifier. Line: 1"},
    };
    for (const auto& [text, message] : cases) {
        DefinitionSet set;
        ReadResult r = readText(set, text);
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.error, message);
    }

    // Inside strings, high bytes are kept as they are and NULs are dropped.
    DefinitionSet set;
    ReadResult r = readText(set, std::string("g \"caf\xe9\x80\xff\"\ng \"a\\00b\0c\"\n", 23));
    ASSERT_FALSE(r.failed) << r.error;
    EXPECT_EQ(values(set.globalValues("g")), (std::vector<std::string>{"caf\xe9\x80\xff", "abc"}));
}

// A source whose input goes away part way through (a read error).
class FailingSource : public CharSource {
public:
    explicit FailingSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    int get() override {
        int c;
        if (takeHeld(c))
            return c;
        return m_at < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_at++]) : -2;
    }
    bool atEnd() const override { return m_at >= m_bytes.size(); }
    int status() const override { return m_at >= m_bytes.size() ? -2 : 0; }

private:
    std::string m_bytes;
    std::size_t m_at = 0;
};

TEST(BadInput, ReadErrorIsNotTheEndOfTheFile) {
    for (const char* text : {"g \"x\"\n", "g \"x\" ", "g \"x\" /* comment", "g \"open"}) {
        DefinitionSet set;
        Tokenizer tokenizer(std::make_unique<FailingSource>(text));
        EXPECT_TRUE(set.read(tokenizer)) << text;
        EXPECT_STREQ(tokenizer.errorText(), "File error while reading") << text;
    }
}

TEST(BadInput, HundredMegabyteStringLiteral) {
    std::string text = "big \"";
    const std::size_t size = 100u << 20;
    text.reserve(size + 32);
    while (text.size() < size)
        text += "0123456789abcdefghijklmnopqrstuvwxyz\n"; // line breaks inside do not count
    const std::size_t valueLength = text.size() - 5;
    text += "\"\n7\n";
    QTemporaryDir dir;
    const QString path = writeFile(dir, "big.def", text);
    text = std::string();

    DefinitionSet set;
    ReadResult r = readFile(set, path);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "Syntax error. Line: 2");
    const ValueList* big = set.globalValues("big");
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(big->count(), 1);
    EXPECT_EQ(big->at(0)->length(), valueLength);
    EXPECT_EQ(std::string(big->text(0), 10), "0123456789");
}

TEST(BadInput, InputEndingInsideAStringOrComment) {
    DefinitionSet set;
    const std::string open(10u << 20, 'q');
    ReadResult r = readText(set, "g \"" + open);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "File error while reading");
    EXPECT_EQ(set.globalValues("g")->at(0)->length(), open.size());

    DefinitionSet comments;
    r = readText(comments, "g \"x\" /* " + open);
    EXPECT_FALSE(r.failed) << r.error;
    EXPECT_EQ(values(comments.globalValues("g")), std::vector<std::string>{"x"});
}

TEST(BadInput, OnlyComments) {
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "# hash\n// slashes \"not a string\n/* block\n   comment */\n";
    text += "// last line without newline";
    DefinitionSet set;
    ReadResult r = readText(set, text);
    EXPECT_FALSE(r.failed) << r.error;
    EXPECT_TRUE(set.globals().isEmpty());
    EXPECT_TRUE(set.blocks().isEmpty());
}

TEST(BadInput, AMillionStatements) {
    std::string text;
    const int statements = 1000000;
    for (int i = 0; i < statements; ++i)
        text += "g" + std::to_string(i % 1000) + " \"v" + std::to_string(i) + "\"\n";
    for (int i = 20000; i > 0; --i) // block names arriving in descending order
        text += "block B" + std::to_string(i) + " (o : i) { k \"v\" }\n";
    text += "}\n";
    DefinitionSet set;
    ReadResult r = readText(set, text);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.error, "Syntax error. Line: " + std::to_string(statements + 20000 + 1));
    EXPECT_EQ(set.globals().count(), 1000);
    const ValueList* g7 = set.globalValues("g7");
    ASSERT_NE(g7, nullptr);
    EXPECT_EQ(g7->count(), 1000);
    EXPECT_STREQ(g7->text(999), "v999007");
    EXPECT_EQ(set.blocks().count(), 20000);
    EXPECT_STREQ((*set.blocks().begin()).name.c_str(), "B1");
}
