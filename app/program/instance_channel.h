// How a second start of the program reaches the copy that already runs on
// the same working folder: it hands over the file it was started with (or
// nothing, to bring the running window forward) and ends.
#pragma once

#include <QLocalServer>
#include <QString>
#include <functional>

// The channel's name for a temporary folder: one per user and folder.
QString InstanceChannelName(const QString& tempFolder);

// True when a running copy took `file` (empty: just show yourself).
bool HandOverToRunningCopy(const QString& channel, const QString& file);

// The running copy's end: `onFile` receives each handed-over file, or an
// empty text for "show yourself".
class InstanceServer : public QObject {
    Q_OBJECT
public:
    InstanceServer(const QString& channel, std::function<void(const QString&)> onFile, QObject* parent);

private:
    void accept();

    QLocalServer server_;
    std::function<void(const QString&)> onFile_;
};
