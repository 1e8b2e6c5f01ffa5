#pragma once

#include "definitions/charsource.h"

#include <string>

// A character source over bytes held in memory (a copy the source owns).
class MemoryCharSource : public CharSource {
public:
    explicit MemoryCharSource(std::string bytes);
    ~MemoryCharSource() override;

    int get() override;
    bool atEnd() const override;
    int status() const override;

private:
    std::string m_bytes;
    bool m_eof = false;
};
