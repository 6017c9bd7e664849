// The program under a test entry point: it prints the display depth it
// found, answers every message box (printing "message: <text>"), and
// presses Exit 1.5 s after the window shows.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "program/shared_state.h"
#include "windows/main_window.h"

static void print(const QString& line) {
    std::puts(line.toUtf8().constData());
    std::fflush(stdout);
}

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mireo"));
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            print(QStringLiteral("message: ") + box->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
            box->accept();
        }
    });
    answerer.start(200);
    SharedState shared;
    MDImain main(shared);
    print(QStringLiteral("ScreenBits=%1").arg(shared.ScreenBits));
    if (main.Ended()) return 0;
    main.show();
    QTimer::singleShot(1500, &main, [&main] {
        print(QStringLiteral("window shown: %1").arg(main.isVisible() ? QStringLiteral("yes") : QStringLiteral("no")));
        main.findChild<QToolButton*>(QStringLiteral("cmdExit"))->click();
    });
    return QApplication::exec();
}
