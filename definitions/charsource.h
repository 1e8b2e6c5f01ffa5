#pragma once

#include <cstddef>

// A reader of single characters: 0..255 for a byte, -1 at the end of the input,
// -2 when there is no input at all. One character can be given back.
//
// Sources that keep their input in memory expose the bytes not yet read as a
// window, so readers can take them without a virtual call per character; get()
// must then consume from the same window.
class CharSource {
public:
    static constexpr int EndOfInput = -1;
    static constexpr int NoInput = -2;

    CharSource() = default;
    CharSource(const CharSource&) = delete;
    CharSource& operator=(const CharSource&) = delete;
    virtual ~CharSource();

    virtual int get() = 0;
    // Holds c for the next get(); refuses (and drops c) when a character is already held.
    virtual bool unget(int c);
    virtual bool atEnd() const = 0;
    virtual int status() const = 0;

    // Same result as get(), without the virtual call while buffered bytes remain.
    int fastGet() {
        if (!m_hasHeld && m_window != m_windowEnd)
            return *m_window++;
        return get();
    }

    // The bytes that the next get() calls would return, if known in advance.
    // Empty while a character is held.
    const unsigned char* bufferedBegin() const { return m_hasHeld ? m_windowEnd : m_window; }
    const unsigned char* bufferedEnd() const { return m_windowEnd; }
    // Consumes n bytes of the buffered window (n <= bufferedEnd() - bufferedBegin()).
    void skipBuffered(std::size_t n) { m_window += n; }

protected:
    // Returns the held character if there is one (and empties the slot).
    bool takeHeld(int& c) {
        if (!m_hasHeld)
            return false;
        m_hasHeld = false;
        c = m_held;
        return true;
    }
    void setWindow(const unsigned char* begin, const unsigned char* end) {
        m_window = begin;
        m_windowEnd = end;
    }
    bool windowEmpty() const { return m_window == m_windowEnd; }
    int takeFromWindow() { return *m_window++; }

private:
    int m_held = 0;
    bool m_hasHeld = false;
    const unsigned char* m_window = nullptr;
    const unsigned char* m_windowEnd = nullptr;
};
