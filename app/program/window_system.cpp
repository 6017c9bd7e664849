#include "program/window_system.h"

#include <QApplication>
#include <QPointer>
#include <map>

#include "platform/user_dialogs.h"
#include "program/progress_dialog.h"

namespace {

std::map<int32_t, QPointer<ProgressDialog>>& windows() {
    static std::map<int32_t, QPointer<ProgressDialog>> open;
    return open;
}

QString textOf(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

void messageBox(void*, const char* text, const char* caption, int32_t icon) {
    MsgBox(textOf(text), icon == MIREO_ICON_INFORMATION ? MessageIcon::Information : MessageIcon::None,
           textOf(caption));
}

int32_t createProgress(void*, int32_t parent, const char* caption) {
    static int32_t lastHandle = 0;
    QWidget* owner = parent ? ProgressWindow(parent) : QApplication::activeWindow();
    auto* dialog = new ProgressDialog(owner, textOf(caption));
    windows()[++lastHandle] = dialog;
    return lastHandle;
}

void showProgress(void*, int32_t window) {
    if (auto* dialog = ProgressWindow(window)) dialog->show();
}

void destroyProgress(void*, int32_t window) {
    if (auto* dialog = ProgressWindow(window)) delete dialog;
    windows().erase(window);
}

void setProgressPosition(void*, int32_t window, int32_t position) {
    if (auto* dialog = ProgressWindow(window)) dialog->setPosition(position);
}

void setProgressText(void*, int32_t window, const char* text) {
    if (auto* dialog = ProgressWindow(window)) dialog->setText(textOf(text));
}

int32_t isWindow(void*, int32_t window) { return ProgressWindow(window) ? 1 : 0; }

int32_t isWindowVisible(void*, int32_t window) {
    auto* dialog = ProgressWindow(window);
    return dialog && dialog->isVisible() ? 1 : 0;
}

void readCancelLabel(void*, int32_t window, char* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    auto* dialog = ProgressWindow(window);
    const QByteArray text = dialog ? dialog->cancelState().toUtf8() : QByteArray();
    const auto length = std::min<qsizetype>(text.size(), capacity - 1);
    std::copy_n(text.constData(), length, buffer);
    buffer[length] = '\0';
}

void processMessages(void*) { QCoreApplication::processEvents(); }

} // namespace

const MireoWindowSystem& QtWindowSystem() {
    static const MireoWindowSystem table{nullptr,           messageBox,          createProgress,  showProgress,
                                         destroyProgress,   setProgressPosition, setProgressText, isWindow,
                                         isWindowVisible,   readCancelLabel,     processMessages};
    return table;
}

void InstallWindowSystem(const mireo::imaging::Library& library) { library.MireoSetWindowSystem(&QtWindowSystem()); }

ProgressDialog* ProgressWindow(int32_t window) {
    const auto found = windows().find(window);
    return found == windows().end() ? nullptr : found->second.data();
}
