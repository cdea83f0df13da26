#include "workspace/gui/open_project_dialog.h"

#include "widgets/gui/form_controls.h"
#include "widgets/gui/frame_overlay.h"
#include "widgets/gui/window_style.h"
#include "workspace/project_folders.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QStringDecoder>

namespace strovane::workspace {
namespace {
// Positions at the initial size; the list grows with the window, the buttons keep their distance
// from the bottom-right corner.
constexpr int kClientWidth = 377;
constexpr int kClientHeight = 351;
constexpr QPoint kListLabel{24, 24};
constexpr QRect kProjectList{24, 43, 329, 249};
constexpr QRect kOkButton{165, 307, 90, 23};
constexpr QRect kCancelButton{263, 307, 90, 23};
} // namespace

OpenProjectDialog::OpenProjectDialog(const Workspace& workspace, QWidget* parent)
    : QDialog(parent), m_workspace(workspace) {
    setObjectName(QStringLiteral("openProjectDialog"));
    setWindowTitle(QStringLiteral("Open Project"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    widgets::applyWindowLook(this);
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);

    m_listLabel = new QLabel(QStringLiteral("Name of the new Project"), this);
    m_listLabel->setObjectName(QStringLiteral("listLabel"));
    m_listLabel->move(kListLabel);

    m_projectList = new QListWidget(this);
    m_projectList->setObjectName(QStringLiteral("projectList"));
    m_projectList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_projectList->setGeometry(kProjectList);
    widgets::keepFrameOnTop(m_projectList);
    widgets::labelField(m_listLabel, m_projectList);

    m_cancelButton = widgets::makeFormButton(this, QStringLiteral("cancelButton"), QStringLiteral("Cancel"),
                                             kCancelButton, QStringLiteral("CANCEL"));

    m_okButton = widgets::makeFormButton(this, QStringLiteral("okButton"), QStringLiteral("OK"), kOkButton,
                                         QStringLiteral("OK"));

    setTabOrder(m_projectList, m_cancelButton);
    setTabOrder(m_cancelButton, m_okButton);

    // Selection changes by the user only; prepare sets m_selectedProject itself.
    connect(m_projectList, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_projectList->signalsBlocked())
            return;
        takeSelection();
    });
    connect(m_okButton, &QAbstractButton::clicked, this, [this] { done(1); });
    connect(m_cancelButton, &QAbstractButton::clicked, this, [this] { done(2); });
}

void OpenProjectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        widgets::centreOnScreen(this);
        prepare();
    }
}

void OpenProjectDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QPoint grown(width() - kClientWidth, height() - kClientHeight);
    m_projectList->setGeometry(kProjectList.adjusted(0, 0, grown.x(), grown.y()));
    m_cancelButton->move(kCancelButton.topLeft() + grown);
    m_okButton->move(kOkButton.topLeft() + grown);
}

void OpenProjectDialog::loadProjects() { m_projects = listProjectFolders(m_workspace.projectsDir); }

int OpenProjectDialog::indexOfProject(const std::string& name) const { return findProjectIndex(m_projects, name); }

QString OpenProjectDialog::displayName(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(name.data(), qsizetype(name.size())));
    return utf8.hasError() ? QString::fromLatin1(name.data(), qsizetype(name.size())) : text;
}

void OpenProjectDialog::takeSelection() {
    const int row = m_projectList->currentRow();
    const QListWidgetItem* item = m_projectList->currentItem();
    if (item && item->isSelected() && row >= 0 && row < int(m_projects.size()))
        m_selectedProject = m_projects[std::size_t(row)];
}

void OpenProjectDialog::prepare() {
    m_projects.clear();
    loadProjects();

    const QSignalBlocker block(m_projectList);
    m_projectList->clear();
    for (const std::string& name : m_projects)
        m_projectList->addItem(displayName(name));

    // The open project's folder name: what follows projectsDir and one separator.
    const std::string& projectDir = m_workspace.projectDir;
    const std::size_t skip = m_workspace.projectsDir.size() + 1;
    const std::string current = projectDir.size() > skip ? projectDir.substr(skip) : std::string();

    if (m_projects.empty()) {
        m_selectedProject.clear();
        return;
    }
    int index = indexOfProject(current);
    if (index < 0)
        index = 0;
    m_projectList->setCurrentRow(index);
    m_selectedProject = m_projects[std::size_t(index)];
    m_projectList->setFocus();
}

void OpenProjectDialog::reject() { done(2); }

} // namespace strovane::workspace
