#include "shapes/defaultshapetext.h"

#include <algorithm>

namespace {

void appendPort(QByteArray& text, char letter, int number) {
    text += letter;
    text += QByteArray::number(number).rightJustified(2, '0');
}

} // namespace

QByteArray defaultShapeText(int inputs, int outputs) {
    inputs = std::max(inputs, 0);
    outputs = std::max(outputs, 0);
    const int rows = std::max(inputs, outputs);

    QByteArray text("j20");
    for (int i = 1; i <= rows; ++i) {
        text += 's';
        if (i <= inputs) {
            appendPort(text, 'l', i);
        }
    }
    text += "s.ee.";
    for (int i = rows; i >= 1; --i) {
        text += 'n';
        if (i <= outputs) {
            appendPort(text, 'R', i);
        }
    }
    text += "n.";
    return text;
}
