#include "CPrintTarget.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <cerrno>

namespace {

// The dialog's result when the user chose "PDF로 저장"; Accepted and Rejected are 1 and 0.
constexpr int kSavePdfResult = 2;

QString SavePdfText()
{
    return QCoreApplication::translate("CPrintTarget", "PDF로 저장");
}

QString PrinterText(const QString& name)
{
    return QCoreApplication::translate("CPrintTarget", "프린터: %1").arg(name);
}

QString FileReason(const QFile& file)
{
    return errno != 0 ? SystemErrorText(errno) : file.errorString();
}

} // namespace

CPrintTarget::CPrintTarget(QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        OpenPdf(printer.outputFileName());
        if (m_pPdf)
            m_pPdf->setPageLayout(printer.pageLayout());
        return;
    }
    m_pPrinter = &printer;
    m_pDevice = &printer;
}

CPrintTarget::CPrintTarget(const QString& pdfPath)
{
    OpenPdf(pdfPath);
}

CPrintTarget::~CPrintTarget() = default;

void CPrintTarget::OpenPdf(const QString& path)
{
    m_file.setFileName(path);
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_strError = QStringLiteral("%1\n%2").arg(path, FileReason(m_file));
        return;
    }
    m_pPdf = std::make_unique<QPdfWriter>(&m_file);
    m_pDevice = m_pPdf.get();
}

bool CPrintTarget::Begin(QPainter& painter, const QString& docName)
{
    if (m_pDevice == nullptr)
        return false; // the file could not be made; the reason is known
    if (m_pPrinter != nullptr)
        m_pPrinter->setDocName(docName);
    else
        m_pPdf->setTitle(docName);
    if (painter.begin(m_pDevice))
        return true;
    m_strError = m_pPrinter != nullptr
                     ? PrinterText(m_pPrinter->printerName().isEmpty()
                                       ? QCoreApplication::translate("CPrintTarget", "(없음)")
                                       : m_pPrinter->printerName())
                     : m_file.fileName();
    return false;
}

bool CPrintTarget::End(QPainter& painter)
{
    errno = 0;
    const bool ended = painter.end();
    if (m_pPrinter != nullptr) {
        if (ended && m_pPrinter->printerState() != QPrinter::Error)
            return true;
        m_strError = PrinterText(m_pPrinter->printerName());
        return false;
    }
    // The writer reports nothing of a file it could not fill: ask the file.
    const bool written = ended && m_file.error() == QFileDevice::NoError && m_file.flush();
    m_file.close();
    if (written && m_file.error() == QFileDevice::NoError)
        return true;
    m_strError = QStringLiteral("%1\n%2").arg(m_file.fileName(), FileReason(m_file));
    return false;
}

PrintChoice ExecPrintDialog(QPrinter& printer, QWidget* parent, const QString& suggestedPdf,
                            QString* pdfPath)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* pdf = buttons->addButton(SavePdfText(), QDialogButtonBox::ActionRole);
        pdf->setObjectName(QStringLiteral("savePdf"));
        QObject::connect(pdf, &QPushButton::clicked, &dialog, [&] {
            QString path = QFileDialog::getSaveFileName(
                &dialog, SavePdfText(), suggestedPdf,
                QCoreApplication::translate("CPrintTarget", "PDF 파일 (*.pdf)"));
            if (path.isEmpty())
                return;
            if (QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".pdf");
            *pdfPath = path;
            dialog.done(kSavePdfResult);
        });
    }
    switch (dialog.exec()) {
    case QDialog::Accepted:
        return PrintChoice::Printer;
    case kSavePdfResult:
        return PrintChoice::Pdf;
    default:
        return PrintChoice::Cancelled;
    }
}
