// A window that starts a real drag of the files named on its command line
// as soon as the mouse is pressed on it, so that a test can drop them on
// another program with the pointer.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> files) : QLabel(QStringLiteral("drag me")), files_(std::move(files)) {
        setWindowTitle(QStringLiteral("Drag source"));
        setFixedSize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls(files_);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> files_;
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QList<QUrl> files;
    for (const QString& file : QApplication::arguments().mid(1)) files << QUrl::fromLocalFile(file);
    DragSource source(files);
    source.move(1100, 900);
    source.show();
    return QApplication::exec();
}
