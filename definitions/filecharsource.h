#pragma once

#include "definitions/charsource.h"

#include <QFile>
#include <QString>

#include <memory>

// Reads a file as raw bytes (no line-ending translation), in large chunks.
// A file that cannot be opened gives a source without input; so does a read
// error part way through, from that point on.
class FileCharSource : public CharSource {
public:
    explicit FileCharSource(const QString& fileName);
    ~FileCharSource() override;

    int get() override;
    bool atEnd() const override;
    int status() const override;

private:
    bool refill();

    std::unique_ptr<QFile> m_file; // null when there is no input
    std::unique_ptr<unsigned char[]> m_chunk;
    bool m_eof = false;
};
