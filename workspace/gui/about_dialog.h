#pragma once

#include <QDialog>

class QLabel;
class QAbstractButton;

namespace strovane::workspace {

class ClickLabel;

// Names the software, its codes and version, and links to the maker's web page.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void Label4Click();
    void reject() override;

    QAbstractButton* LbButton1;
    ClickLabel* Image2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    ClickLabel* Label4;
    QLabel* Label6;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label12;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

// The about picture: a 340 x 340 emblem drawn in code.
QPixmap aboutEmblem();

} // namespace strovane::workspace
