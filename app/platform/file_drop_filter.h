// Lets the widgets it watches take files dropped from the desktop and
// hands each drop (the local file paths and whether a copy is allowed)
// to one handler.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

class FileDropFilter : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QStringList& files, bool copyAllowed)>;

    FileDropFilter(Handler handler, QObject* parent);
    void watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};
