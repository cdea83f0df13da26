#pragma once

#include <QDialog>

class QLabel;
class QAbstractButton;

namespace strovane::widgets {
class ClickLabel;
}

namespace strovane::workspace {

// Names the software, its codes and version, and links to the maker's web page.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepare();
    void openWebsite();

    QAbstractButton* m_okButton;
    widgets::ClickLabel* m_emblem;
    QLabel* m_productLabel;
    QLabel* m_descriptionLabel;
    QLabel* m_versionCaption;
    widgets::ClickLabel* m_websiteLink;
    QLabel* m_softwareCodeCaption;
    QLabel* m_documentCodeCaption;
    QLabel* m_softwareCodeLabel;
    QLabel* m_versionLabel;
    QLabel* m_documentCodeLabel;
};

// The about picture: a 340 x 340 emblem drawn in code.
QPixmap aboutEmblem();

} // namespace strovane::workspace
