#include <QApplication>

#include "mdi_main.h"
#include "test_hooks.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mireo"));
    const TestHooks hooks = TestHooks::FromEnvironment();
    hooks.answerMessageBoxes();
    StartupOptions options;
    options.screenBits = hooks.screenBits;
    MDImain main(options);
    hooks.report();
    if (main.Ended()) return 0;
    main.show();
    hooks.scheduleExit(main);
    return QApplication::exec();
}
