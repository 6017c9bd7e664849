// Fitting a picture to a Palm screen size: the resize dialog, for the
// picture on screen or for an import of no standard size.
#include <QCoreApplication>

#include "dialogs/frm_resize.h"
#include "platform/twips.h"
#include "windows/main_window.h"

void MDImain::cmdResizeImg_Click() {
    SaveOptionStates();
    setResizeEnabled(false);
    ShowResizeDialog(false);
}

void MDImain::ShowResizeDialog(bool fromImport) {
    auto* dialog = new frmResize(*this, shared);
    dialog->show();
    dialog->showWrongSizeNotice(fromImport);
    if (fromImport) {
        dialog->move(TwipsToPixels(200), TwipsToPixels(200));
        return;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // no second click meanwhile
    dialog->move(0, 0);
}
