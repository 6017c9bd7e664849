#include "test_hooks.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "mdi_main.h"
#include "shared_state.h"

namespace {

int numberFrom(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

void print(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

TestHooks TestHooks::FromEnvironment() {
    return TestHooks{numberFrom("MIREO_TEST_AUTOEXIT", -1), numberFrom("MIREO_TEST_SCREENBITS", 0)};
}

void TestHooks::answerMessageBoxes() const {
    if (!active()) return;
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            print(QStringLiteral("message: ") + box->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
            box->accept();
        }
    });
    timer->start(200);
}

void TestHooks::report() const {
    if (active()) print(QStringLiteral("ScreenBits=%1").arg(ScreenBits));
}

void TestHooks::scheduleExit(MDImain& main) const {
    if (!active()) return;
    QTimer::singleShot(autoExitMs, &main, [&main] {
        print(QStringLiteral("window shown: %1").arg(main.isVisible() ? QStringLiteral("yes") : QStringLiteral("no")));
        main.cmdExit->click();
    });
}
