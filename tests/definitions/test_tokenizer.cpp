#include "testhelpers.h"

#include "definitions/filecharsource.h"
#include "definitions/memorycharsource.h"

#include <gtest/gtest.h>

namespace {
constexpr int P = Token::Punct, I = Token::Integer, R = Token::Real, H = Token::HexInteger,
              S = Token::String, Id = Token::Identifier, End = Token::EndOfInput,
              Src = Token::SourceError, Bad = Token::BadChar;

std::vector<std::pair<int, std::string>> kindsAndTexts(std::string text) {
    std::vector<std::pair<int, std::string>> out;
    for (const Tok& t : tokenize(std::move(text)))
        out.emplace_back(t.kind, t.text);
    return out;
}
} // namespace

TEST(Tokenizer, Numbers) {
    using V = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(kindsAndTexts("0X1F\n"), (V{{H, "0x1f"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("1.5e+3\n"), (V{{R, "1.5e+3"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("1E5\n"), (V{{R, "1e5"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("1.2.3\n"), (V{{R, "1.2"}, {P, "."}, {I, "3"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("12ab\n"), (V{{I, "12"}, {Id, "ab"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("1e5e3\n"), (V{{R, "1e5"}, {Id, "e3"}, {End, ""}}));
    EXPECT_EQ(kindsAndTexts("0x \n"), (V{{H, "0x"}, {End, ""}}));
    // Only a leading 0 makes hex; hex takes no exponent and no point.
    EXPECT_EQ(kindsAndTexts("10x 0xE5 0x.5 0Xab\n"), (V{{I, "10"},
                                                        {Id, "x"},
                                                        {H, "0xe5"},
                                                        {H, "0x"},
                                                        {P, "."},
                                                        {I, "5"},
                                                        {H, "0xab"},
                                                        {End, ""}}));
    EXPECT_EQ(kindsAndTexts("2e- 3e 4.e-7\n"), (V{{R, "2e-"}, {R, "3e"}, {R, "4.e-7"}, {End, ""}}));
}

TEST(Tokenizer, IdentifiersPunctuationAndBadCharacters) {
    using V = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(kindsAndTexts("_a1 B_2->x\n"),
              (V{{Id, "_a1"}, {Id, "B_2"}, {P, "-"}, {P, ">"}, {Id, "x"}, {End, ""}}));

    const std::string puncts = "!$%&'()*+,-./:;<=>?@[\\]^`{|}~";
    std::vector<Tok> toks = tokenize(puncts + "\n", false);
    ASSERT_EQ(toks.size(), puncts.size() + 1);
    for (std::size_t i = 0; i < puncts.size(); ++i)
        EXPECT_EQ(toks[i], (Tok{P, std::string(1, puncts[i]), 1}));

    // Control characters, NUL and bytes 0x80..0xFF start no token and carry no text.
    toks = tokenize(std::string("a\x01"
                                "b\0c\x80\xff"
                                "d\n",
                                9));
    std::vector<Tok> expected = {{Id, "a", 1}, {Bad, "", 1}, {Id, "b", 1},
                                 {Bad, "", 1}, {Id, "c", 1}, {Bad, "", 1},
                                 {Bad, "", 1}, {Id, "d", 1}, {End, "", 2}};
    EXPECT_EQ(toks, expected);
    auto t = memoryTokenizer("\x90")->nextToken();
    EXPECT_EQ(t->text(), nullptr);
    EXPECT_FALSE(t->isPunct());
}

TEST(Tokenizer, EndOfFileRightAfterATokenGivesSourceError) {
    EXPECT_EQ(tokenize(""), (std::vector<Tok>{{End, "", 1}}));
    EXPECT_EQ(tokenize("abc"), (std::vector<Tok>{{Id, "abc", 1}, {Src, "", 1}}));
    EXPECT_EQ(tokenize("42"), (std::vector<Tok>{{I, "42", 1}, {Src, "", 1}}));
    EXPECT_EQ(tokenize("}"), (std::vector<Tok>{{P, "}", 1}, {End, "", 1}}));
    EXPECT_EQ(tokenize("\"open"), (std::vector<Tok>{{S, "open", 1}, {Src, "", 1}}));

    auto missing = std::make_unique<Tokenizer>(std::make_unique<FileCharSource>("/nonexistent/x"));
    EXPECT_EQ(missing->nextToken()->kind(), Src);
    Tokenizer none(nullptr);
    EXPECT_EQ(none.nextToken()->kind(), Src);
}

TEST(Tokenizer, CommentFormsOfTheReader) {
    using V = std::vector<Tok>;
    EXPECT_EQ(tokenize("a#b\nc"), (V{{Id, "a", 1}, {Id, "c", 2}, {Src, "", 2}}));
    EXPECT_EQ(tokenize("a//b\nc"), (V{{Id, "a", 1}, {Id, "c", 2}, {Src, "", 2}}));
    EXPECT_EQ(tokenize("a/b\n"), (V{{Id, "a", 1}, {P, "/", 1}, {Id, "b", 1}, {End, "", 2}}));
    EXPECT_EQ(tokenize("x/**/y\n"), (V{{Id, "x", 1}, {Id, "y", 1}, {End, "", 2}}));
    // The opening pair is never half of the closing one.
    EXPECT_EQ(tokenize("/*/ a */ z\n"), (V{{Id, "z", 1}, {End, "", 2}}));
    EXPECT_EQ(tokenize("q /* a\n\n"), (V{{Id, "q", 1}, {End, "", 3}}));
    EXPECT_EQ(tokenize("/**/"), (V{{End, "", 1}}));
    EXPECT_EQ(tokenize("/***/k\n"), (V{{Id, "k", 1}, {End, "", 2}}));
    EXPECT_EQ(tokenize("a # last line"), (V{{Id, "a", 1}, {End, "", 1}}));
    EXPECT_EQ(tokenize("/"), (V{{P, "/", 1}, {Src, "", 1}}));
    // Comment markers inside a string belong to the string.
    EXPECT_EQ(tokenize("\"# // /* x */\"\n"), (V{{S, "# // /* x */", 1}, {End, "", 2}}));
}

TEST(Tokenizer, ConfiguredCommentSlots) {
    using V = std::vector<Tok>;
    auto t = memoryTokenizer("a{ b\n c}d;e\nf", false);
    t->setComment(2, "{}");
    t->setComment(0, ";");
    EXPECT_EQ(drain(*t), (V{{Id, "a", 1}, {Id, "d", 2}, {Id, "f", 3}, {Src, "", 3}}));

    t = memoryTokenizer("a{ never closed\n", false);
    t->setComment(2, "{}");
    EXPECT_EQ(drain(*t), (V{{Id, "a", 1}, {End, "", 2}}));

    // Too short a delimiter leaves the slot unused; an unknown slot is ignored.
    t = memoryTokenizer("/* x */\n", false);
    t->setComment(3, "/*");
    t->setComment(4, "#");
    t->setComment(-1, "#");
    EXPECT_EQ(drain(*t),
              (V{{P, "/", 1}, {P, "*", 1}, {Id, "x", 1}, {P, "*", 1}, {P, "/", 1}, {End, "", 2}}));

    t = memoryTokenizer("a#b\n");
    t->setComment(0, nullptr);
    EXPECT_EQ(drain(*t), (V{{Id, "a", 1}, {P, "#", 1}, {Id, "b", 1}, {End, "", 2}}));
}

TEST(Tokenizer, StringEscapes) {
    auto str = [](const std::string& literal) {
        auto t = memoryTokenizer(literal + "\n")->nextToken();
        EXPECT_EQ(t->kind(), S) << literal;
        return t->textString();
    };
    EXPECT_EQ(str(R"("a\"b")"), "a\"b");
    EXPECT_EQ(str(R"("\41")"), "A");
    EXPECT_EQ(str(R"("\4z")"), "@z"); // one digit d gives d * 16
    EXPECT_EQ(str(R"("\4")"), "@");
    EXPECT_EQ(str(R"("\Af\aF")"), "\xaf\xaf");
    EXPECT_EQ(str(R"("\ff\FF")"), "\xff\xff");
    EXPECT_EQ(str(R"("\n")"), "\n");
    EXPECT_EQ(str(R"("\t")"), "t"); // no tab escape
    EXPECT_EQ(str(R"("\\")"), "\\");
    EXPECT_EQ(str(R"("")"), "");
    EXPECT_EQ(str("\"tab\there \xe9\r\""), "tab\there \xe9\r");
    // A NUL cannot stand in a zero-terminated value: it is dropped, escaped or raw.
    EXPECT_EQ(str(R"("a\00b\0")"), "ab");
    EXPECT_EQ(str(std::string("\"x\0y\\\0z\"", 8)), "xyz");

    EXPECT_EQ(tokenize("\"ab\\"), (std::vector<Tok>{{S, "ab", 1}, {Src, "", 1}}));
    EXPECT_EQ(tokenize("\"ab\\4"), (std::vector<Tok>{{S, "ab@", 1}, {Src, "", 1}}));
}

TEST(Tokenizer, LineCounting) {
    using V = std::vector<Tok>;
    // A line break inside a string does not count: later tokens report one line less.
    EXPECT_EQ(tokenize("a \"x\ny\" b\nc\n"),
              (V{{Id, "a", 1}, {S, "x\ny", 1}, {Id, "b", 1}, {Id, "c", 2}, {End, "", 3}}));
    // Carriage returns do not count; comments' line breaks do.
    EXPECT_EQ(tokenize("a\r\r\nb # c\n/* \n\n */ d // e\n\nf"),
              (V{{Id, "a", 1}, {Id, "b", 2}, {Id, "d", 5}, {Id, "f", 7}, {Src, "", 7}}));
    // The newline that ends an identifier is counted once, when it is read again.
    auto t = memoryTokenizer("x\ny\n");
    EXPECT_EQ(t->nextToken()->line(), 1);
    EXPECT_EQ(t->line(), 1);
    EXPECT_EQ(t->nextToken()->line(), 2);
    EXPECT_EQ(t->nextToken()->line(), 3);
}

TEST(Tokenizer, PushedBackTokensComeBackLastFirst) {
    auto t = memoryTokenizer("a\nb\nc\n");
    auto a = t->nextToken();
    auto b = t->nextToken();
    Token* rawA = a.get();
    t->pushBack(std::move(a));
    t->pushBack(std::move(b));
    auto first = t->nextToken();
    auto second = t->nextToken();
    EXPECT_EQ(first->textString(), "b");
    EXPECT_EQ(first->line(), 2);
    EXPECT_EQ(second.get(), rawA); // the same token, unchanged
    EXPECT_EQ(second->line(), 1);
    EXPECT_EQ(t->nextToken()->textString(), "c");

    // Pushed-back tokens are served even after the input has ended.
    auto end = t->nextToken();
    EXPECT_EQ(end->kind(), End);
    t->pushBack(std::move(end));
    t->pushBack(std::move(second));
    EXPECT_EQ(t->nextToken()->textString(), "a");
    EXPECT_EQ(t->nextToken()->kind(), End);
    EXPECT_EQ(t->nextToken()->kind(), Src);
}

TEST(Tokenizer, FirstErrorWins) {
    auto t = memoryTokenizer("");
    EXPECT_FALSE(t->hasError());
    EXPECT_EQ(t->errorText(), nullptr);
    t->setError(nullptr, 3); // nothing to discard, nothing recorded
    EXPECT_FALSE(t->hasError());
    t->setError("Syntax error.", 7);
    t->setError("Later error", 9);
    EXPECT_STREQ(t->errorText(), "Syntax error. Line: 7");
    t->setError(nullptr, 0);
    EXPECT_FALSE(t->hasError());
    t->setError("File open error", 0);
    EXPECT_STREQ(t->errorText(), "File open error");
}

TEST(Tokenizer, TokenTests) {
    Token id(Id, 1, "edit");
    EXPECT_TRUE(id.isIdentifier());
    EXPECT_TRUE(id.isIdentifier("edit"));
    EXPECT_FALSE(id.isIdentifier("Edit"));
    EXPECT_FALSE(id.isIdentifier("edi"));
    EXPECT_FALSE(id.isPunct());
    Token p(P, 1, ";");
    EXPECT_TRUE(p.isPunct());
    EXPECT_TRUE(p.isPunct(';'));
    EXPECT_FALSE(p.isPunct(','));
    EXPECT_FALSE(p.isString());
    Token s(S, 1, "");
    EXPECT_TRUE(s.isString());
    EXPECT_STREQ(s.text(), "");
    EXPECT_FALSE(Token(S, 1, "edit").isIdentifier("edit"));
}
