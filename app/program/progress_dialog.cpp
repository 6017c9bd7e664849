#include "program/progress_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressDialog::ProgressDialog(QWidget* owner, const QString& caption)
    : QDialog(owner), text_(new QLabel(this)), cancelState_(new QLabel(this)), bar_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(caption);
    text_->setText(caption);
    cancelState_->hide();
    bar_->setRange(0, 100);
    bar_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(cancelState_);
    layout->addWidget(bar_);
    setMinimumWidth(320);
}

void ProgressDialog::setText(const QString& text) { text_->setText(text); }

void ProgressDialog::setPosition(int percent) { bar_->setValue(std::clamp(percent, 0, 100)); }

QString ProgressDialog::cancelState() const { return cancelState_->text(); }

int ProgressDialog::position() const { return bar_->value(); }

QString ProgressDialog::text() const { return text_->text(); }
