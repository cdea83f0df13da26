#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QAbstractButton;

namespace strovane::workspace {

struct Workspace;

// Lists the project folders under PROJECTS and leaves the chosen name in Name_Conf.
// Result 1 from OK (whether or not anything is selected), 2 from Cancel or the close box.
class OpenProjectDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenProjectDialog(const Workspace& workspace, QWidget* parent = nullptr);

    void Load_Existing_Configuration();
    int Search_Open_Conf(const std::string& name) const;
    void ListBox1Click();
    void reject() override;

    std::vector<std::string> SL; // folder names of the last listing, in listing order
    std::string Name_Conf;       // the chosen project folder's name, as the file system has it

    // How a folder name is shown: as UTF-8 when it is valid, else byte by byte as Latin-1.
    static QString displayName(const std::string& name);

    QLabel* Label1;
    QListWidget* ListBox1;
    QAbstractButton* Btn_Cancel;
    QAbstractButton* Btn_OK;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormShow();

    const Workspace& m_workspace;
};

} // namespace strovane::workspace
