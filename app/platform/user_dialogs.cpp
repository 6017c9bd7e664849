#include "platform/user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

class QtDialogs final : public Dialogs {
public:
    void message(const QString& text, const QString& caption, MessageIcon icon) override {
        QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon,
                        caption, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    std::optional<QString> openFile(const FileDialogSetup& setup) override {
        return run(setup, QFileDialog::AcceptOpen);
    }

    std::optional<QString> saveFile(const FileDialogSetup& setup) override {
        return run(setup, QFileDialog::AcceptSave);
    }

private:
    static std::optional<QString> run(const FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
        QFileDialog dialog(QApplication::activeWindow(), setup.title);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        const QStringList filters = QtFileFilter(setup.filter).split(QStringLiteral(";;"));
        dialog.setNameFilters(filters);
        if (setup.filterIndex >= 1 && setup.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[setup.filterIndex - 1]);
        if (!setup.defaultExtension.isEmpty()) dialog.setDefaultSuffix(setup.defaultExtension.mid(setup.defaultExtension.startsWith('.') ? 1 : 0));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(setup.flags & kOverwritePrompt));
        if (!setup.fileName.isEmpty()) dialog.selectFile(setup.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    }
};

QtDialogs& qtDialogs() {
    static QtDialogs instance;
    return instance;
}

Dialogs* installed = nullptr;

} // namespace

Dialogs& dialogs() { return installed ? *installed : qtDialogs(); }

void SetDialogs(Dialogs* replacement) { installed = replacement; }

FileDialogSetup SaveDialogSetup(const QString& title, const QString& filter, const QString& defaultExtension) {
    FileDialogSetup setup;
    setup.title = title;
    setup.filter = filter;
    setup.filterIndex = 1;
    setup.defaultExtension = defaultExtension;
    setup.flags = kOverwritePrompt | kPathMustExist;
    return setup;
}

void MsgBox(const QString& text, MessageIcon icon, const QString& caption) {
    dialogs().message(text, caption.isEmpty() ? QStringLiteral("Mireo") : caption, icon);
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype bracket = description.indexOf(QLatin1Char('('));
        if (bracket >= 0) description = description.left(bracket);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
        filters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}
