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

// Lists the project folders under PROJECTS and leaves the chosen name in selectedProject().
// Result 1 from OK (whether or not anything is selected), 2 from Cancel or the close box.
class OpenProjectDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenProjectDialog(const Workspace& workspace, QWidget* parent = nullptr);

    void reject() override;

    // The chosen project folder's name, as the file system has it; empty with none.
    const std::string& selectedProject() const { return m_selectedProject; }

    // How a folder name is shown: as UTF-8 when it is valid, else byte by byte as Latin-1.
    static QString displayName(const std::string& name);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void prepare();
    void loadProjects();
    int indexOfProject(const std::string& name) const;
    void takeSelection();

    const Workspace& m_workspace;
    std::vector<std::string> m_projects; // folder names of the last listing, in listing order
    std::string m_selectedProject;

    QLabel* m_listLabel;
    QListWidget* m_projectList;
    QAbstractButton* m_cancelButton;
    QAbstractButton* m_okButton;
};

} // namespace strovane::workspace
