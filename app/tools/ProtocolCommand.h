#pragma once

#include <QString>
#include <QStringList>

// How a file goes over the link: as its raw bytes, or by one of the protocols the lrzsz
// programs speak. The order is that of the dialog's choice and of "FileSendProtocol".
enum class TransferProtocol
{
    Plain,
    Xmodem,
    Xmodem1K,
    Ymodem,
    Zmodem,
};
inline constexpr int kTransferProtocolCount = 5;

enum class TransferDirection
{
    Send,
    Receive,
};

// The program that carries a transfer, with its arguments. Sending names the file; receiving
// runs in the target folder and names a file only for XMODEM, which carries no name.
struct ProtocolCommand
{
    QString program;
    QStringList arguments;
};

// The lrzsz command for a protocol transfer; file is the file to send, or the name an XMODEM
// receive writes. A receive never overwrites unless overwrite is set (XMODEM) and renames
// what the peer sends when the name is taken (YMODEM, ZMODEM).
ProtocolCommand ProtocolCommandFor(TransferProtocol protocol, TransferDirection direction,
                                   const QString& file, bool overwrite = false);

// The package that holds the programs, for the message when they are missing.
inline constexpr const char* kProtocolPackage = "lrzsz";

// One line lrzsz writes on its error output about the transfer's progress.
struct ProtocolProgress
{
    qint64 nBytes = -1; // file bytes done so far; -1: the line gave none
    qint64 nTotal = -1; // the file's length, when the line tells it
    QString strFile;    // the file the line names as sent or received, if any
};
ProtocolProgress ParseProtocolProgress(const QString& line);
