#include "platform/file_drop_filter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDropFilter::FileDropFilter(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

void FileDropFilter::watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!drag->mimeData()->hasUrls()) return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls()) return false;
        QStringList files;
        for (const QUrl& url : drop->mimeData()->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
        const bool copyAllowed = drop->possibleActions().testFlag(Qt::CopyAction);
        if (copyAllowed) drop->setDropAction(Qt::CopyAction);
        drop->accept();
        handler_(files, copyAllowed);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
