// mireo: the desktop program.  `mireo FILE` opens a picture or a
// background-image database as a dropped file would; when a copy of the
// program already runs on the same working folder, the file goes to it.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "program/instance_channel.h"
#include "program/program_folder.h"
#include "program/shared_state.h"
#include "windows/main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mireo"));
    const QStringList arguments = QApplication::arguments().mid(1);
    const QString file = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).absoluteFilePath();
    const QString temp = ResolveAppPath(QApplication::applicationDirPath()) + QStringLiteral("/temp");
    if (HandOverToRunningCopy(InstanceChannelName(temp), file)) return 0;

    SharedState shared;
    MDImain main(shared);
    if (main.Ended()) return 0;
    main.show();
    if (!file.isEmpty()) QTimer::singleShot(0, &main, [&main, file] { main.OpenFromDesktop(file); });
    return QApplication::exec();
}
