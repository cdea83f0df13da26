// Shows one editor dialog on a sample project so it can be looked at:
//   editors_gallery pargen|rpdo|tpdo [--grab file.png]
// The sample project lives in a temporary folder removed on exit. Not a test.
#include "editors/gui/communication_dialog.h"
#include "editors/gui/receive_pdo_dialog.h"
#include "editors/gui/transmit_pdo_dialog.h"
#include "widgets/gui/message_boxes.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString which = args.value(1, QStringLiteral("pargen"));
    const int grabAt = args.indexOf(QStringLiteral("--grab"));

    QTemporaryDir dir;
    strovane::workspace::Workspace ws;
    ws.projectDir = dir.path().toStdString();
    ws.parGenFile = ws.projectDir + "/ParGen.xml";
    ws.receivePdoFile = ws.projectDir + "/RPDOs.xml";
    ws.transmitPdoFile = ws.projectDir + "/TPDOs.xml";
    std::ofstream(ws.receivePdoFile) << "<RPDO><row COB-ID=\"0x181\" Dimension=\"8\" Mnemonic=\"Temperature in\"/>"
                                   "<row COB-ID=\"386\" Dimension=\"2\" Mnemonic=\"Set point\"/></RPDO>";
    std::ofstream(ws.transmitPdoFile) << "<TPDO><row COB-ID=\"0x201\" Dimension=\"4\" Mnemonic=\"Status\"/></TPDO>";

    strovane::widgets::QtMessageBoxes messages;
    std::unique_ptr<QDialog> dialog;
    if (which == QLatin1String("rpdo"))
        dialog = std::make_unique<strovane::editors::ReceivePdoDialog>(ws, messages);
    else if (which == QLatin1String("tpdo"))
        dialog = std::make_unique<strovane::editors::TransmitPdoDialog>(ws, messages);
    else
        dialog = std::make_unique<strovane::editors::CommunicationDialog>(ws, messages);

    if (grabAt > 0 && grabAt + 1 < args.size()) {
        const QString file = args.at(grabAt + 1);
        QTimer::singleShot(500, dialog.get(), [&dialog, file] {
            dialog->grab().save(file);
            dialog->done(2);
        });
    }
    return dialog->exec() == 1 ? 0 : 1;
}
