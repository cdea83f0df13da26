#include "workspace/gui/open_project_dialog.h"

#include "widgets/gui/form_controls.h"
#include "workspace/project_folders.h"
#include "widgets/gui/window_style.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QStringDecoder>

namespace strovane::workspace {
namespace {
constexpr int kClientWidth = 377;
constexpr int kClientHeight = 351;
} // namespace

OpenProjectDialog::OpenProjectDialog(const Workspace& workspace, QWidget* parent) : QDialog(parent), m_workspace(workspace) {
    setObjectName(QStringLiteral("FOpenConf"));
    setWindowTitle(QStringLiteral("Open Project"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    applyWindowLook(this);
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);

    Label1 = new QLabel(QStringLiteral("Name of the new Project"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(24, 24);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setGeometry(24, 43, 329, 249);
    widgets::labelField(Label1, ListBox1);

    Btn_Cancel = widgets::makeFormButton(this, QStringLiteral("Btn_Cancel"), QStringLiteral("Cancel"), {263, 307, 90, 23}, QStringLiteral("CANCEL"));

    Btn_OK = widgets::makeFormButton(this, QStringLiteral("Btn_OK"), QStringLiteral("OK"), {165, 307, 90, 23}, QStringLiteral("OK"));

    setTabOrder(ListBox1, Btn_Cancel);
    setTabOrder(Btn_Cancel, Btn_OK);

    // Selection changes by the user only; FormShow sets Name_Conf itself.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (ListBox1->signalsBlocked())
            return;
        ListBox1Click();
    });
    connect(Btn_OK, &QAbstractButton::clicked, this, [this] { done(1); });
    connect(Btn_Cancel, &QAbstractButton::clicked, this, [this] { done(2); });
}

void OpenProjectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(this);
        FormShow();
    }
}

void OpenProjectDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // The list grows with the window; the buttons keep their distance from the bottom-right corner.
    const int dw = width() - kClientWidth;
    const int dh = height() - kClientHeight;
    ListBox1->setGeometry(24, 43, 329 + dw, 249 + dh);
    Btn_Cancel->move(263 + dw, 307 + dh);
    Btn_OK->move(165 + dw, 307 + dh);
}

void OpenProjectDialog::Load_Existing_Configuration() { SL = listProjectFolders(m_workspace.projectsDir); }

int OpenProjectDialog::Search_Open_Conf(const std::string& name) const { return searchOpenConf(SL, name); }

QString OpenProjectDialog::displayName(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(name.data(), qsizetype(name.size())));
    return utf8.hasError() ? QString::fromLatin1(name.data(), qsizetype(name.size())) : text;
}

void OpenProjectDialog::ListBox1Click() {
    const int row = ListBox1->currentRow();
    const QListWidgetItem* item = ListBox1->currentItem();
    if (item && item->isSelected() && row >= 0 && row < int(SL.size()))
        Name_Conf = SL[std::size_t(row)];
}

void OpenProjectDialog::FormShow() {
    SL.clear();
    Load_Existing_Configuration();

    const QSignalBlocker block(ListBox1);
    ListBox1->clear();
    for (const std::string& name : SL)
        ListBox1->addItem(displayName(name));

    // The open project's folder name: what follows projectsDir and one separator.
    const std::string& dirProject = m_workspace.projectDir;
    const std::size_t skip = m_workspace.projectsDir.size() + 1;
    const std::string current = dirProject.size() > skip ? dirProject.substr(skip) : std::string();

    if (SL.empty()) {
        Name_Conf.clear();
        return;
    }
    int index = Search_Open_Conf(current);
    if (index < 0)
        index = 0;
    ListBox1->setCurrentRow(index);
    Name_Conf = SL[std::size_t(index)];
    ListBox1->setFocus();
}

void OpenProjectDialog::reject() { done(2); }

} // namespace strovane::workspace
