// Takes the documentation's picture of a capture replay: a capture of a device's traffic with
// pauses, replayed at x10 with the arrival times shown, paused part way.
#include "CCaptureReplay.h"
#include "CMonitorWindow.h"
#include "CReplayBar.h"
#include "CReplayWindow.h"
#include "CTARVENView.h"
#include "CaptureFormat.h"
#include "TermViewConstants.h"
#include "program_sandbox.h"

#include <QComboBox>
#include <QDateTime>

int main(int argc, char** argv)
{
    ProgramSandbox sandbox;
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("굴림"), 9));
    const QString folder = ProgramSandbox::OutputFolder(argc, argv);

    const int64_t start = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)).toMSecsSinceEpoch();
    const struct
    {
        int64_t offsetMs;
        char attribute;
        QByteArray bytes;
    } session[] = {
        {0, kAttrSent, "AT+STATUS\r\n"},
        {40, kAttrReceived, "STATUS OK 온도 21.5 압력 정상\r\n"},
        {1500, kAttrSent, "AT+READ 3\r\n"},
        {1530, kAttrReceived, "DATA 0012 0034 0056\r\n"},
        {4000, kAttrReceived, "경보: 센서 #2 응답 없음\r\n"},
        {6000, kAttrSent, "AT+RESET 2\r\n"},
        {6100, kAttrReceived, "OK\r\n"},
        {9000, kAttrReceived, "TEMP 21.6 C\r\n"},
    };
    QByteArray file = CaptureFormat::EncodeHeader(start);
    for (const auto& chunk : session) {
        const QByteArray attrs(chunk.bytes.size(), chunk.attribute);
        file += CaptureFormat::EncodeRecord(
            start + chunk.offsetMs, reinterpret_cast<const uint8_t*>(chunk.bytes.constData()),
            reinterpret_cast<const uint8_t*>(attrs.constData()),
            static_cast<uint32_t>(chunk.bytes.size()));
    }
    const QString path = sandbox.Path(QStringLiteral("bench-session.tvn"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return 2;
    out.close();

    CReplayWindow window;
    window.resize(760, 360);
    if (window.Open(path) != CaptureStatus::Ok)
        return 2;
    window.show();
    window.Monitor()->View()->OnTimeStamps();
    window.Bar()->SpeedBox()->setCurrentIndex(1);
    window.Replay()->Play();
    ProgramSandbox::Pump(650);
    window.Replay()->Pause();
    ProgramSandbox::Pump(300);
    return ProgramSandbox::SavePicture(window.grab(), folder, QStringLiteral("capture-replay.png"));
}
