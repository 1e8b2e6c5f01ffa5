#include "definitions/charsource.h"

CharSource::~CharSource() = default;

bool CharSource::unget(int c) {
    if (m_hasHeld)
        return false;
    m_held = c;
    m_hasHeld = true;
    return true;
}
