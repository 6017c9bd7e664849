// Small factories for the controls of the dialogs: every control gets the
// object name the program and its tests look it up by, and buttons get the
// accessible name a screen reader reads (the caption without its '&').
#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption);
// A button that Enter in its dialog never presses.
QPushButton* quietButton(QWidget* parent, const char* name, const QString& caption);
QLabel* namedLabel(QWidget* parent, const char* name, const QString& text);
