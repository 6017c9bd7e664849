#include "dialogs/dialog_controls.h"

#include <QLabel>
#include <QPushButton>

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

QPushButton* quietButton(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* button = namedButton(parent, name, caption);
    button->setAutoDefault(false);
    return button;
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
