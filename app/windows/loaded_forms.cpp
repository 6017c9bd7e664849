#include "windows/loaded_forms.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QWidget>

QWidget* FindForm(const QString& name) {
    for (QWidget* widget : QApplication::allWidgets()) {
        const bool form = widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget->parentWidget());
        if (form && widget->objectName() == name) return widget;
    }
    return nullptr;
}

bool IsFormLoaded(const QString& name) { return FindForm(name) != nullptr; }
