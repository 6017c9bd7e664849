// The progress window the image library shows while it reduces colours:
// a text label, a hidden label holding the cancel state, and a bar 0..100.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    ProgressDialog(QWidget* owner, const QString& caption);

    void setText(const QString& text);
    void setPosition(int percent);
    QString cancelState() const;
    int position() const;
    QString text() const;

private:
    QLabel* text_;
    QLabel* cancelState_;
    QProgressBar* bar_;
};
