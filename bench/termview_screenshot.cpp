// Takes the documentation's pictures of the terminal view: a monitor session as text with
// control codes and Hangul, and the same session as a hex dump.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPixmap>
#include <cstdio>
#include <utility>

#include "CTextViewCtrl.h"

namespace {

// A short monitor session: what was sent, and what the device answered.
const std::pair<const char*, char> kSession[] = {
    {"\x01\x01"
     "Connected (COM1-9600-8-N-1)...\x01\x01\r\n",
     kAttrSent},
    {"AT+STATUS\r\n", kAttrSent},
    {"\x02STATUS OK 온도 21.5 압력 정상\x03\r\n", kAttrReceived},
    {"AT+READ 3\r\n", kAttrSent},
    {"\x02"
     "DATA\t0012\t0034\t0056\x03\x06\r\n",
     kAttrReceived},
    {"\x1B[2J\x07 경보: 센서 #2 응답 없음\r\n", kAttrReceived},
    {"\x04", kAttrSent},
};

void Write(CTextViewCtrl& view, const char* text, char attr)
{
    for (const char* p = text; *p; ++p)
        view.TextWrite(static_cast<unsigned char>(*p), attr);
}

bool Save(CTextViewCtrl& view, const QString& path)
{
    QApplication::processEvents();
    view.viewport()->repaint();
    if (view.grab().save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    CTextViewCtrl view;
    view.resize(760, 300);
    view.ControlReceive(true);
    view.CaretShow(true);
    view.show();
    for (const auto& [text, attr] : kSession)
        Write(view, text, attr);
    view.setFocus();
    bool ok = Save(view, out.filePath(QStringLiteral("termview-text.png")));
    view.HexaView(true);
    ok = Save(view, out.filePath(QStringLiteral("termview-hex.png"))) && ok;
    return ok ? 0 : 1;
}
