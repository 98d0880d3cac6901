#pragma once

#include <QFile>
#include <QString>
#include <memory>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;
class QWidget;

// Where a print goes: a printer, or a PDF file that is written here, so that a file that
// cannot be made or filled is noticed. Begin and End tell whether the document started and
// finished, with the reason in the user's words when not.
class CPrintTarget
{
public:
    // The printer the user chose; a printer set to print into a PDF file writes that file here.
    explicit CPrintTarget(QPrinter& printer);
    // A PDF file.
    explicit CPrintTarget(const QString& pdfPath);
    ~CPrintTarget();

    // Starts the document named docName with painter on the target.
    bool Begin(QPainter& painter, const QString& docName);
    QPagedPaintDevice* Device() const { return m_pDevice; }
    // Ends the document; false when it did not reach the printer or the file whole.
    bool End(QPainter& painter);
    QString Error() const { return m_strError; }

private:
    void OpenPdf(const QString& path);

    QPrinter* m_pPrinter = nullptr;
    QFile m_file;
    std::unique_ptr<QPdfWriter> m_pPdf;
    QPagedPaintDevice* m_pDevice = nullptr;
    QString m_strError;
};

// What the user chose in the print dialog.
enum class PrintChoice
{
    Cancelled,
    Printer, // print on printer as the dialog set it
    Pdf,     // save as the PDF file *pdfPath
};

// The system print dialog with a "PDF로 저장" button beside its own, which asks for a file name
// (starting at suggestedPdf) and closes the dialog. Printing into a file stays offered too.
PrintChoice ExecPrintDialog(QPrinter& printer, QWidget* parent, const QString& suggestedPdf,
                            QString* pdfPath);
