// Printing the log to a PDF file: pagination in text and hex mode.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include "CTextViewCtrl.h"
#include "TempDir.h"

namespace {

int PdfPageCount(const QString& path)
{
    const QString pdf = QString::fromLatin1(TempDir::Read(path));
    return static_cast<int>(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

int PrintToPdf(CTextViewCtrl& view, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    const int pages =
        view.SetPrint(&painter, &printer, QStringLiteral("Tvn1"), QStringLiteral("COM1-9600-8-N-1"),
                      QStringLiteral("12 Bytes"), QStringLiteral("34 Bytes"));
    painter.end();
    return pages;
}

} // namespace

TEST(Print, LogIsPrintedOnSeveralPagesInBothModes)
{
    const TempDir dir;
    CTextViewCtrl view;
    view.ControlReceive(true);
    for (int i = 0; i < 300; ++i) {
        const QByteArray line = "한글 line " + QByteArray::number(i) + "\x02\r\n";
        view.TextWrite(reinterpret_cast<const unsigned char*>(line.constData()),
                       static_cast<int>(line.size()), i % 2 ? kAttrSent : kAttrReceived);
    }
    const QByteArray wide(3000, 'w'); // wraps over several printed rows
    view.TextWrite(reinterpret_cast<const unsigned char*>(wide.constData()),
                   static_cast<int>(wide.size()), kAttrReceived);

    const QString text = dir.Path(QStringLiteral("text.pdf"));
    const int textPages = PrintToPdf(view, text);
    EXPECT_GT(textPages, 1);
    EXPECT_EQ(PdfPageCount(text), textPages);

    view.HexaView(true);
    const QString hex = dir.Path(QStringLiteral("hex.pdf"));
    const int hexPages = PrintToPdf(view, hex);
    EXPECT_GT(hexPages, textPages); // a hex row holds fewer bytes than a text row
    EXPECT_EQ(PdfPageCount(hex), hexPages);

    CTextViewCtrl empty;
    const QString blank = dir.Path(QStringLiteral("empty.pdf"));
    EXPECT_EQ(PrintToPdf(empty, blank), 1); // the header alone
    EXPECT_EQ(PdfPageCount(blank), 1);
}
