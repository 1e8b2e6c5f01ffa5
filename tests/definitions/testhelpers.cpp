#include "testhelpers.h"

#include "definitions/memorycharsource.h"

#include <QFile>

#include <ostream>

void PrintTo(const Tok& t, std::ostream* os) {
    *os << "{" << t.kind << ", \"" << t.text << "\", line " << t.line << "}";
}

void setReaderComments(Tokenizer& tokenizer) {
    tokenizer.setComment(0, "#");
    tokenizer.setComment(1, "//");
    tokenizer.setComment(3, "/**/");
}

std::unique_ptr<Tokenizer> memoryTokenizer(std::string bytes, bool readerComments) {
    auto t = std::make_unique<Tokenizer>(std::make_unique<MemoryCharSource>(std::move(bytes)));
    if (readerComments)
        setReaderComments(*t);
    return t;
}

std::vector<Tok> drain(Tokenizer& tokenizer) {
    std::vector<Tok> out;
    for (;;) {
        auto t = tokenizer.nextToken();
        out.push_back({t->kind(), t->text() ? t->text() : "", t->line()});
        if (t->kind() == Token::EndOfInput || t->kind() == Token::SourceError)
            return out;
    }
}

std::vector<Tok> tokenize(std::string bytes, bool readerComments) {
    return drain(*memoryTokenizer(std::move(bytes), readerComments));
}

int PlainSource::get() {
    int c;
    if (takeHeld(c))
        return c;
    return m_inner->get();
}

ReadResult readText(DefinitionSet& set, std::string text) {
    Tokenizer tokenizer(std::make_unique<MemoryCharSource>(std::move(text)));
    const bool failed = set.read(tokenizer);
    return {failed, tokenizer.errorText() ? tokenizer.errorText() : ""};
}

QString writeFile(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes.data(), qint64(bytes.size()));
    return path;
}

std::vector<std::string> values(const ValueList* list) {
    std::vector<std::string> out;
    if (list)
        for (const DynString& v : *list)
            out.emplace_back(v.text() ? v.text() : "");
    return out;
}
