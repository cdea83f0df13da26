#include "app/gui/main_window.h"

#include "platform/path_text.h"
#include "widgets/gui/form_controls.h"
#include "widgets/gui/message_boxes.h"
#include "widgets/gui/click_label.h"
#include "workspace/gui/new_project_dialog.h"
#include "workspace/gui/open_project_dialog.h"
#include "workspace/gui/web_page.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QCloseEvent>
#include <QLabel>

namespace strovane::app {
namespace {

QLabel* stepLabel(QWidget* parent, const char* name, const char* text, int top) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->adjustSize();
    label->move(16, top);
    return label;
}

QAbstractButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry,
                        const char* glyph = nullptr) {
    return widgets::makeFormButton(parent, QString::fromLatin1(name), QString::fromLatin1(caption), geometry,
                                   glyph ? QString::fromLatin1(glyph) : QString(), widgets::FormButtonLook::Dialog);
}

} // namespace

MainWindow::MainWindow(workspace::Workspace& workspace, widgets::MessageBoxes& messages,
                                       const std::filesystem::path& exeDir,
                                       const std::filesystem::path& workspaceDir, QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_messages(messages) {
    setObjectName(QStringLiteral("FStrovanoFirmWare"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    workspace::applyWindowLook(this);

    L_Step_1 = stepLabel(this, "L_Step_1", "Step 1", 47);
    Btn_New = button(this, "Btn_New", "New project", {80, 36, 145, 26}, "NEWPROJECT");
    Btn_Open = button(this, "Btn_Open", "Open project", {232, 36, 145, 26}, "OPENPROJECT");
    Btn_Info = button(this, "Btn_Info", "About", {493, 21, 21, 19}, "ABOUT");
    Btn_Info->setToolTip(QStringLiteral("About"));
    Btn_Close = button(this, "Btn_Close", "X", {520, 21, 21, 19});
    Btn_Close->setToolTip(QStringLiteral("Close"));
    L_Step_2 = stepLabel(this, "L_Step_2", "Step 2", 91);
    Btn_Prm_Gen = button(this, "Btn_Prm_Gen", "Set Communication", {80, 80, 145, 26}, "SETCOMM");
    L_Step_3 = stepLabel(this, "L_Step_3", "Step 3", 135);
    Btn_RPDO = button(this, "Btn_RPDO", "Set Translate PDO", {80, 124, 145, 26}, "SETRPDO");
    L_Step_4 = stepLabel(this, "L_Step_4", "Step 4", 179);
    Btn_TPDO = button(this, "Btn_TPDO", "Set Transmit PDO", {80, 168, 145, 26}, "SETTPDO");
    L_Step_5 = stepLabel(this, "L_Step_5", "Step 5", 223);
    Btn_CreateBin = button(this, "Btn_CreateBin", "Update Device", {80, 212, 145, 26}, "UPDATEDEVICE");

    L_Kelmora = new workspace::ClickLabel(this);
    L_Kelmora->setObjectName(QStringLiteral("L_Kelmora"));
    L_Kelmora->setText(QString::fromLatin1(workspace::kMakerDomain));
    QFont bold = L_Kelmora->font();
    bold.setBold(true);
    L_Kelmora->setFont(bold);
    L_Kelmora->adjustSize();
    L_Kelmora->move(423, 223);
    connect(L_Kelmora, &workspace::ClickLabel::clicked, this, &MainWindow::L_KelmoraClick);

    QAbstractButton* order[] = {Btn_New, Btn_Open, Btn_Info, Btn_Close, Btn_Prm_Gen, Btn_RPDO, Btn_TPDO, Btn_CreateBin};
    for (QAbstractButton* b : order)
        connect(b, &QAbstractButton::clicked, this, [this, b] { Btn_Click(b); });
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    FormCreate(exeDir, workspaceDir);
}

void MainWindow::FormCreate(const std::filesystem::path& exeDir, const std::filesystem::path& workspaceDir) {
    // Layout: every step visible, the address beside step 5, client area 575 x 264.
    for (QWidget* w : std::initializer_list<QWidget*>{L_Step_1, L_Step_2, L_Step_3, L_Step_4, L_Step_5, Btn_Prm_Gen,
                                                      Btn_RPDO, Btn_TPDO, Btn_CreateBin})
        w->setVisible(true);
    L_Kelmora->move(L_Kelmora->x(), L_Step_5->y());
    Btn_RPDO->move(80, 124);
    Btn_TPDO->move(80, 168);
    Btn_CreateBin->move(Btn_CreateBin->x(), 212);
    setFixedSize(575, Btn_CreateBin->y() + 52);

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

void MainWindow::Btn_Click(QObject* sender) {
    if (sender == Btn_New) {
        Create_New_Project();
    } else if (sender == Btn_Open) {
        Open_Project();
    } else if (sender == Btn_Close) {
        close();
    } else if (sender == Btn_Info) {
        if (m_dialogs.FAbout)
            m_dialogs.FAbout->exec();
    } else if (!m_workspace.projectOpen()) {
        m_messages.error(QStringLiteral("Error! Project not Valid"));
    } else if (sender == Btn_Prm_Gen) {
        m_dialogs.FParGen->exec();
    } else if (sender == Btn_RPDO) {
        m_dialogs.FRPdoMB->exec();
    } else if (sender == Btn_TPDO) {
        m_dialogs.FTPdoMB->exec();
    } else if (sender == Btn_CreateBin) {
        Update_Device();
    }
}

void MainWindow::Create_New_Project() {
    // Cancel changes nothing: the project that was open stays open.
    if (m_dialogs.FNew_Project->exec() == 1)
        updateTitle();
}

void MainWindow::Open_Project() {
    if (m_dialogs.FOpenConf->exec() != 1)
        return;
    m_workspace.adoptProject(m_dialogs.FOpenConf->Name_Conf);
    updateTitle();
}

void MainWindow::Update_Device() {
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
    if (m_dialogs.FBootSer)
        m_dialogs.FBootSer->exec();
}

update::WaitOutcome MainWindow::startAndWait(const std::string& program, const std::string& commandLine,
                                                      bool hidden, const std::vector<std::string>& arguments,
                                                      const update::UpdaterLauncher::PollCallback& onPoll) {
    return update::UpdaterLauncher().startAndWait(program, commandLine, hidden, arguments, onPoll);
}

void MainWindow::setDocumentPaths() { m_workspace.setDocumentPaths(); }

void MainWindow::saveSettings() { m_workspace.saveSettings(); }

void MainWindow::L_KelmoraClick() { workspace::openMakerWebPage(); }

void MainWindow::FormClose() {
    try {
        saveSettings();
    } catch (const std::exception& e) {
        // The program still closes; the user learns that the last project was not remembered.
        m_messages.error(QStringLiteral("Error! The settings could not be saved."), QString::fromUtf8(e.what()));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

} // namespace strovane::app
