#pragma once

#include <QString>

class QWidget;

// Asks whether an existing file may be overwritten ("&Yes" default, "&No" on Escape); true for
// "&Yes" only.
bool askOverwrite(QWidget* parent, const QString& fileName);
