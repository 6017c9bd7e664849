// The program's loaded windows, found by name.
#pragma once

#include <QString>

class QWidget;

// The loaded window (top-level or document window) called `name`, or nullptr.
QWidget* FindForm(const QString& name);
bool IsFormLoaded(const QString& name);
