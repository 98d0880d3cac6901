#include "MonitorTools.h"

#include "CCheckSumDlg.h"
#include "CFileSendDlg.h"
#include "CMonitorLink.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "LinkWriter.h"
#include "ShellConstants.h"
#include "TransferMonitor.h"

#include <QSettings>

namespace {

// A protocol transfer in a monitor window: the received bytes are the transfer's while it
// runs, and are neither shown nor lost: the capture records them, and what the transfer sends,
// with their directions, and the counters count them.
class CViewTransferMonitor : public CTransferMonitor
{
public:
    explicit CViewTransferMonitor(CTARVENView& view) : m_view(view) {}
    ~CViewTransferMonitor() override { Release(); }

    void Divert(std::function<void(const QByteArray&)> sink) override
    {
        m_view.Link()->DivertReceived([this, sink = std::move(sink)](const QByteArray& bytes) {
            Record(bytes, kAttrReceived);
            m_view.CountReplayed(bytes.size(), 0);
            sink(bytes);
        });
    }
    void Release() override { m_view.Link()->DivertReceived({}); }
    void RecordSent(const QByteArray& bytes) override
    {
        Record(bytes, kAttrSent);
        m_view.CountReplayed(0, bytes.size());
    }
    void Notice(const QString& text) override
    {
        emit m_view.Link()->notice(QStringLiteral("\r\n") + text + QStringLiteral("\r\n"),
                                   kAttrSent);
    }

private:
    void Record(const QByteArray& bytes, char attribute)
    {
        m_view.TextView()->CaptureWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        int(bytes.size()), attribute);
    }

    CTARVENView& m_view;
};

} // namespace

void RunFileTransfer(CTARVENView& view)
{
    // The dialog writes through the link until it closes, also when the link goes meanwhile.
    std::unique_ptr<CLinkWriter> writer = view.Link()->OpenTransfer();
    if (!writer)
        return;
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(kGroupTarven);
    CViewTransferMonitor monitor(view);
    CFileSendDlg dialog(&view, std::move(writer), FileSendSettings::Load(settings), &monitor);
    dialog.exec();
    // The next transfer opens where this one left.
    dialog.Settings().Save(settings);
}

void RunCheckSum(QWidget* parent)
{
    CCheckSumDlg dialog(parent);
    dialog.exec();
}
