#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;

// The checksum calculator: reduces a byte string written in the control-code notation by XOR,
// AND, OR, SUM or CRC16, or by a checksum a command row appends (CRC16CCITT, CRC32, SUM8, XOR8,
// LRC), and shows the value in hexadecimal, decimal, binary and as a character.
class CCheckSumDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CCheckSumDlg(QWidget* parent);

    // "계산" computes in place of the dialog's OK action, so the dialog stays open.
    void accept() override;

private:
    QLineEdit* AddResult(int id);
    void LimitInput();

    QPlainTextEdit* m_pInput = nullptr;
    QButtonGroup* m_pMethod = nullptr;
    QLineEdit* m_pHex = nullptr;
    QLineEdit* m_pDec = nullptr;
    QLineEdit* m_pBin = nullptr;
    QLineEdit* m_pAscii = nullptr;
};
