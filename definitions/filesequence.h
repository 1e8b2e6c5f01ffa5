#pragma once

#include "definitions/dynstring.h"

#include <memory>
#include <string>
#include <vector>

class Tokenizer;

// One output file of the generator: its name and the ordered step names.
class FileSequence {
public:
    FileSequence();
    virtual ~FileSequence();

    // Reads one file statement. Returns null with the token given back when the
    // next statement is not a file sequence, or null with an error recorded.
    static std::unique_ptr<FileSequence> parser(Tokenizer& tokenizer);

    const char* fileName() const { return m_fileName.text() ? m_fileName.text() : ""; }
    void setFileName(const char* name) { m_fileName.assign(name); }

    // One walk at a time over the steps; nullptr when there are no more.
    const char* firstStep();
    const char* nextStep();

    const std::vector<std::string>& steps() const { return m_steps; }
    void addStep(std::string step) { m_steps.push_back(std::move(step)); }

private:
    DynString m_fileName;
    std::vector<std::string> m_steps;
    std::size_t m_cursor = 0;
};
