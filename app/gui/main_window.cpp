#include "app/gui/main_window.h"

#include "platform/path_text.h"
#include "widgets/gui/click_label.h"
#include "widgets/gui/form_controls.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/window_style.h"
#include "workspace/gui/new_project_dialog.h"
#include "workspace/gui/open_project_dialog.h"
#include "workspace/gui/web_page.h"
#include "workspace/workspace.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>

namespace strovane::app {
namespace {

// Client-area positions: the step labels' tops, the buttons, the web address.
constexpr int kStepLabelLeft = 16;
constexpr int kStepLabelTops[] = {47, 91, 135, 179, 223};
constexpr QRect kNewProjectButton{80, 36, 145, 26};
constexpr QRect kOpenProjectButton{232, 36, 145, 26};
constexpr QRect kAboutButton{493, 21, 21, 19};
constexpr QRect kCloseButton{520, 21, 21, 19};
constexpr QRect kCommunicationButton{80, 80, 145, 26};
constexpr QRect kReceivePdoButton{80, 124, 145, 26};
constexpr QRect kTransmitPdoButton{80, 168, 145, 26};
constexpr QRect kUpdateDeviceButton{80, 212, 145, 26};
constexpr QPoint kWebsiteLink{423, 223}; // its top follows step 5's label
constexpr int kClientWidth = 575;
constexpr int kBottomMargin = 52; // below the Update Device button

QLabel* stepLabel(QWidget* parent, int step) {
    auto* label = new QLabel(QStringLiteral("Step %1").arg(step), parent);
    label->setObjectName(QStringLiteral("step%1Label").arg(step));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->adjustSize();
    label->move(kStepLabelLeft, kStepLabelTops[step - 1]);
    return label;
}

QAbstractButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry,
                        const char* glyph = nullptr) {
    return widgets::makeFormButton(parent, QString::fromLatin1(name), QString::fromLatin1(caption), geometry,
                                   glyph ? QString::fromLatin1(glyph) : QString(), widgets::FormButtonLook::Dialog);
}

} // namespace

MainWindow::MainWindow(workspace::Workspace& workspace, widgets::MessageBoxes& messages,
                       const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir, QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    widgets::applyWindowLook(this);

    for (int step = 1; step <= 5; ++step)
        m_stepLabels[std::size_t(step - 1)] = stepLabel(this, step);
    m_newProjectButton = button(this, "newProjectButton", "New project", kNewProjectButton, "NEWPROJECT");
    m_openProjectButton = button(this, "openProjectButton", "Open project", kOpenProjectButton, "OPENPROJECT");
    m_aboutButton = button(this, "aboutButton", "About", kAboutButton, "ABOUT");
    m_aboutButton->setToolTip(QStringLiteral("About"));
    m_closeButton = button(this, "closeButton", "X", kCloseButton);
    m_closeButton->setToolTip(QStringLiteral("Close"));
    m_communicationButton = button(this, "communicationButton", "Set Communication", kCommunicationButton, "SETCOMM");
    m_receivePdoButton = button(this, "receivePdoButton", "Set Translate PDO", kReceivePdoButton, "SETRPDO");
    m_transmitPdoButton = button(this, "transmitPdoButton", "Set Transmit PDO", kTransmitPdoButton, "SETTPDO");
    m_updateDeviceButton = button(this, "updateDeviceButton", "Update Device", kUpdateDeviceButton, "UPDATEDEVICE");

    m_websiteLink = new widgets::ClickLabel(this);
    m_websiteLink->setObjectName(QStringLiteral("websiteLink"));
    m_websiteLink->setText(QString::fromLatin1(workspace::kMakerDomain));
    QFont bold = m_websiteLink->font();
    bold.setBold(true);
    m_websiteLink->setFont(bold);
    m_websiteLink->adjustSize();
    m_websiteLink->move(kWebsiteLink.x(), m_stepLabels[4]->y());
    connect(m_websiteLink, &widgets::ClickLabel::clicked, this, &MainWindow::openWebsite);
    setFixedSize(kClientWidth, kUpdateDeviceButton.y() + kBottomMargin);

    connect(m_newProjectButton, &QAbstractButton::clicked, this, &MainWindow::createProject);
    connect(m_openProjectButton, &QAbstractButton::clicked, this, &MainWindow::openProject);
    connect(m_aboutButton, &QAbstractButton::clicked, this, &MainWindow::showAbout);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QWidget::close);
    connect(m_communicationButton, &QAbstractButton::clicked, this,
            [this] { openStepDialog(m_dialogs.communication); });
    connect(m_receivePdoButton, &QAbstractButton::clicked, this, [this] { openStepDialog(m_dialogs.receivePdos); });
    connect(m_transmitPdoButton, &QAbstractButton::clicked, this, [this] { openStepDialog(m_dialogs.transmitPdos); });
    connect(m_updateDeviceButton, &QAbstractButton::clicked, this, [this] {
        if (projectOpenOrSaySo())
            updateDevice();
    });

    QAbstractButton* order[] = {m_newProjectButton,    m_openProjectButton, m_aboutButton,       m_closeButton,
                                m_communicationButton, m_receivePdoButton,  m_transmitPdoButton, m_updateDeviceButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    startUp(exeDir, workspaceDir);
}

void MainWindow::startUp(const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir) {
    const std::vector<std::string> problems = m_workspace.startUp(exeDir, workspaceDir);
    if (!m_workspace.folderProblem.empty())
        m_messages.error(QString::fromStdString(m_workspace.folderProblem),
                         QStringLiteral("Projects cannot be created or opened there. Start Strovane with "
                                        "--workspace DIR to use another folder."));
    if (!m_workspace.writeProblem.empty())
        m_messages.error(QString::fromStdString(m_workspace.writeProblem),
                         QStringLiteral("Projects cannot be created or saved there, and the last project is not "
                                        "remembered. Start Strovane with --workspace DIR to use another folder."));
    for (const std::string& problem : problems)
        m_messages.error(QString::fromUtf8(problem),
                         QStringLiteral("The last project is not reopened; the settings file is written anew when "
                                        "Strovane closes."));
    updateTitle();
}

void MainWindow::updateTitle() {
    // A folder name that is not UTF-8 reads as the open-project list shows it.
    setWindowTitle(workspace::OpenProjectDialog::displayName(m_workspace.title()));
}

bool MainWindow::projectOpenOrSaySo() {
    if (m_workspace.projectOpen())
        return true;
    m_messages.error(QStringLiteral("Error! Project not Valid"));
    return false;
}

void MainWindow::showAbout() {
    if (m_dialogs.about)
        m_dialogs.about->exec();
}

void MainWindow::openStepDialog(QDialog* dialog) {
    if (projectOpenOrSaySo())
        dialog->exec();
}

void MainWindow::createProject() {
    // Cancel changes nothing: the project that was open stays open.
    if (m_dialogs.newProject->exec() == 1)
        updateTitle();
}

void MainWindow::openProject() {
    if (m_dialogs.openProject->exec() != 1)
        return;
    m_workspace.adoptProject(m_dialogs.openProject->selectedProject());
    updateTitle();
}

void MainWindow::updateDevice() {
    try {
        m_image.composeBankBin({platform::pathFromUtf8(m_workspace.parGenFile),
                                platform::pathFromUtf8(m_workspace.receivePdoFile),
                                platform::pathFromUtf8(m_workspace.transmitPdoFile)},
                               platform::pathFromUtf8(m_workspace.projectDir));
    } catch (const std::exception& e) {
        // Nothing stale reaches the device: bank.bin is kept whole and the update dialog stays closed.
        m_messages.error(QString::fromUtf8(e.what()));
        return;
    }
    if (m_dialogs.updateDevice)
        m_dialogs.updateDevice->exec();
}

update::WaitOutcome MainWindow::startAndWait(const std::string& program, const std::string& commandLine, bool hidden,
                                             const std::vector<std::string>& arguments,
                                             const update::UpdaterLauncher::PollCallback& onPoll) {
    return update::UpdaterLauncher().startAndWait(program, commandLine, hidden, arguments, onPoll);
}

void MainWindow::openWebsite() { workspace::openMakerWebPage(); }

void MainWindow::saveOnClose() {
    try {
        m_workspace.saveSettings();
    } catch (const std::exception& e) {
        // The program still closes; the user learns that the last project was not remembered.
        m_messages.error(QStringLiteral("Error! The settings could not be saved."), QString::fromUtf8(e.what()));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveOnClose();
    event->accept();
}

} // namespace strovane::app
