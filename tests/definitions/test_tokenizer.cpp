#include "testhelpers.h"

#include "definitions/filecharsource.h"

#include <gtest/gtest.h>

namespace {
constexpr int P = Token::Punct, I = Token::Integer, R = Token::Real, H = Token::HexInteger,
              S = Token::String, Id = Token::Identifier, End = Token::EndOfInput,
              Src = Token::SourceError, Bad = Token::BadChar;
using V = std::vector<Tok>;
} // namespace

TEST(Tokenizer, Numbers) {
    EXPECT_EQ(tokenize("0X1F 1.5e+3 1E5\n"),
              (V{{H, "0x1f", 1}, {R, "1.5e+3", 1}, {R, "1e5", 1}, {End, "", 2}}));
    EXPECT_EQ(tokenize("1.2.3 12ab 1e5e3\n"), (V{{R, "1.2", 1},
                                                 {P, ".", 1},
                                                 {I, "3", 1},
                                                 {I, "12", 1},
                                                 {Id, "ab", 1},
                                                 {R, "1e5", 1},
                                                 {Id, "e3", 1},
                                                 {End, "", 2}}));
    // Only a leading 0 makes hex; hex takes no point and no exponent.
    EXPECT_EQ(tokenize("0x 10x 0xE5 0x.5 2e- 4.e-7\n"), (V{{H, "0x", 1},
                                                           {I, "10", 1},
                                                           {Id, "x", 1},
                                                           {H, "0xe5", 1},
                                                           {H, "0x", 1},
                                                           {P, ".", 1},
                                                           {I, "5", 1},
                                                           {R, "2e-", 1},
                                                           {R, "4.e-7", 1},
                                                           {End, "", 2}}));
}

TEST(Tokenizer, IdentifiersPunctuationAndBadCharacters) {
    EXPECT_EQ(
        tokenize("_a1 B_2->x\n"),
        (V{{Id, "_a1", 1}, {Id, "B_2", 1}, {P, "-", 1}, {P, ">", 1}, {Id, "x", 1}, {End, "", 2}}));
    const std::string puncts = "!$%&'()*+,-./:;<=>?@[\\]^`{|}~";
    V expected;
    for (char c : puncts)
        expected.push_back({P, std::string(1, c), 1});
    expected.push_back({End, "", 1}); // a lone character needs no look-ahead
    EXPECT_EQ(tokenize(puncts, false), expected);

    // Control characters, NUL and bytes 0x80..0xFF start no token and carry no text.
    EXPECT_EQ(tokenize(std::string("a\x01"
                                   "b\0c\x80\xff"
                                   "d\n",
                                   9)),
              (V{{Id, "a", 1},
                 {Bad, "", 1},
                 {Id, "b", 1},
                 {Bad, "", 1},
                 {Id, "c", 1},
                 {Bad, "", 1},
                 {Bad, "", 1},
                 {Id, "d", 1},
                 {End, "", 2}}));
    EXPECT_EQ(memoryTokenizer("\x90")->nextToken()->text(), nullptr);
}

TEST(Tokenizer, EndOfInput) {
    EXPECT_EQ(tokenize(""), (V{{End, "", 1}}));
    // Reading past a final identifier or number runs into the end: the next request
    // finds the source no longer ready.
    EXPECT_EQ(tokenize("abc"), (V{{Id, "abc", 1}, {Src, "", 1}}));
    EXPECT_EQ(tokenize("42"), (V{{I, "42", 1}, {Src, "", 1}}));
    EXPECT_EQ(tokenize("}"), (V{{P, "}", 1}, {End, "", 1}}));
    EXPECT_EQ(tokenize("\"open"), (V{{S, "open", 1}, {Src, "", 1}}));
    Tokenizer missing(std::make_unique<FileCharSource>("/nonexistent/x"));
    EXPECT_EQ(missing.nextToken()->kind(), Src);
}

TEST(Tokenizer, CommentForms) {
    EXPECT_EQ(
        tokenize("a#b\nc//d\ne/f\n"),
        (V{{Id, "a", 1}, {Id, "c", 2}, {Id, "e", 3}, {P, "/", 3}, {Id, "f", 3}, {End, "", 4}}));
    EXPECT_EQ(tokenize("x/**/y /***/z\n"),
              (V{{Id, "x", 1}, {Id, "y", 1}, {Id, "z", 1}, {End, "", 2}}));
    // The opening pair is never half of the closing one.
    EXPECT_EQ(tokenize("/*/ a */ z\n"), (V{{Id, "z", 1}, {End, "", 2}}));
    EXPECT_EQ(tokenize("q /* a\n\n"), (V{{Id, "q", 1}, {End, "", 3}}));
    EXPECT_EQ(tokenize("a # last line"), (V{{Id, "a", 1}, {End, "", 1}}));
    EXPECT_EQ(tokenize("\"# // /* x */\"\n"), (V{{S, "# // /* x */", 1}, {End, "", 2}}));

    auto t = memoryTokenizer("a{ b\n c}d;e\nf{", false); // slot 2 and another slot 0
    t->setComment(2, "{}");
    t->setComment(0, ";");
    EXPECT_EQ(drain(*t), (V{{Id, "a", 1}, {Id, "d", 2}, {Id, "f", 3}, {End, "", 3}}));

    t = memoryTokenizer("/* x */\n", false);
    t->setComment(3, "/*"); // too short a delimiter leaves the slot unused
    t->setComment(4, "#");
    EXPECT_EQ(drain(*t),
              (V{{P, "/", 1}, {P, "*", 1}, {Id, "x", 1}, {P, "*", 1}, {P, "/", 1}, {End, "", 2}}));
}

TEST(Tokenizer, StringEscapes) {
    auto str = [](const std::string& literal) {
        auto t = memoryTokenizer(literal + "\n")->nextToken();
        EXPECT_EQ(t->kind(), S) << literal;
        return t->textString();
    };
    EXPECT_EQ(str(R"("a\"b\\c")"), "a\"b\\c");
    EXPECT_EQ(str(R"("\41\4z\4")"), "A@z@"); // one hex digit d gives d * 16
    EXPECT_EQ(str(R"("\Af\aF\ff")"), "\xaf\xaf\xff");
    EXPECT_EQ(str(R"("\n\t")"), "\nt"); // no tab escape
    EXPECT_EQ(str("\"raw\t\xe9\r\""), "raw\t\xe9\r");
    // A NUL cannot stand in a zero-terminated value: it is dropped, escaped or raw.
    EXPECT_EQ(str(R"("a\00b\0")"), "ab");
    EXPECT_EQ(str(std::string("\"x\0y\\\0z\"", 8)), "xyz");
    EXPECT_EQ(tokenize("\"ab\\"), (V{{S, "ab", 1}, {Src, "", 1}}));
}

TEST(Tokenizer, LineCounting) {
    // A line break inside a string does not count: later tokens report one line less.
    EXPECT_EQ(tokenize("a \"x\ny\" b\nc\n"),
              (V{{Id, "a", 1}, {S, "x\ny", 1}, {Id, "b", 1}, {Id, "c", 2}, {End, "", 3}}));
    // Carriage returns do not count; line breaks in and after comments do.
    EXPECT_EQ(tokenize("a\r\r\nb # c\n/* \n\n */ d // e\n\nf"),
              (V{{Id, "a", 1}, {Id, "b", 2}, {Id, "d", 5}, {Id, "f", 7}, {Src, "", 7}}));
}

TEST(Tokenizer, PushBackAndErrors) {
    auto t = memoryTokenizer("a\nb\nc\n");
    auto a = t->nextToken();
    auto b = t->nextToken();
    const Token* rawA = a.get();
    t->pushBack(std::move(a));
    t->pushBack(std::move(b));
    auto first = t->nextToken();
    EXPECT_EQ(first->textString(), "b");
    EXPECT_EQ(first->line(), 2);
    EXPECT_EQ(t->nextToken().get(), rawA); // the same token, unchanged
    EXPECT_EQ(t->nextToken()->line(), 3);

    EXPECT_FALSE(t->hasError());
    t->setError("Syntax error.", 7);
    t->setError("Later error", 9);
    EXPECT_STREQ(t->errorText(), "Syntax error. Line: 7");
    EXPECT_EQ(t->errorMessage(), "Syntax error.");
    EXPECT_EQ(t->errorLine(), 7);
    t->setError(nullptr, 0);
    EXPECT_EQ(t->errorText(), nullptr);
    EXPECT_EQ(t->errorLine(), 0);
    t->setError("File open error", 0);
    EXPECT_STREQ(t->errorText(), "File open error");
}
