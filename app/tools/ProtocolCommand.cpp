#include "ProtocolCommand.h"

#include <QRegularExpression>

ProtocolCommand ProtocolCommandFor(TransferProtocol protocol, TransferDirection direction,
                                   const QString& file, bool overwrite)
{
    const bool send = direction == TransferDirection::Send;
    ProtocolCommand command;
    // Binary always: a file crosses byte for byte, line ends included. Twice verbose, for
    // the progress lines are written to a pipe only then.
    command.arguments << QStringLiteral("-vv") << QStringLiteral("-b");
    switch (protocol) {
    case TransferProtocol::Plain:
        return {};
    case TransferProtocol::Xmodem:
    case TransferProtocol::Xmodem1K:
        command.program = send ? QStringLiteral("sx") : QStringLiteral("rx");
        if (send && protocol == TransferProtocol::Xmodem1K)
            command.arguments << QStringLiteral("-k");
        // The receiver asks for CRC; the sender follows whatever it asks.
        if (!send)
            command.arguments << QStringLiteral("-c");
        if (!send && overwrite)
            command.arguments << QStringLiteral("-y");
        break;
    case TransferProtocol::Ymodem:
        command.program = send ? QStringLiteral("sb") : QStringLiteral("rb");
        if (send)
            command.arguments << QStringLiteral("-k");
        break;
    case TransferProtocol::Zmodem:
        command.program = send ? QStringLiteral("sz") : QStringLiteral("rz");
        break;
    }
    if (!send && protocol != TransferProtocol::Xmodem && protocol != TransferProtocol::Xmodem1K)
        // The peer names the files: kept to the folder, and never over a file already there.
        command.arguments << QStringLiteral("-R") << QStringLiteral("-E");
    if (send || !file.isEmpty())
        command.arguments << QStringLiteral("--") << file;
    return command;
}

ProtocolProgress ParseProtocolProgress(const QString& line)
{
    // "Bytes Sent:  9216/ 300000   BPS:..." and "Bytes received:  1024/ 300000 ..." while it
    // runs, the count alone at the end; XMODEM sends count 128-byte sectors.
    static const QRegularExpression bytes(
        QStringLiteral("Bytes (?:Sent|received):\\s*(\\d+)(?:/\\s*(\\d+))?"));
    static const QRegularExpression sectors(QStringLiteral("sectors/kbytes sent:\\s*(\\d+)/"));
    static const QRegularExpression name(QStringLiteral("^(?:Sending|Receiving):? (.+)$"));
    constexpr qint64 kXmodemSectorBytes = 128;
    ProtocolProgress progress;
    if (const QRegularExpressionMatch m = bytes.match(line); m.hasMatch()) {
        progress.nBytes = m.captured(1).toLongLong();
        if (m.hasCaptured(2))
            progress.nTotal = m.captured(2).toLongLong();
    } else if (const QRegularExpressionMatch s = sectors.match(line); s.hasMatch()) {
        progress.nBytes = s.captured(1).toLongLong() * kXmodemSectorBytes;
    } else if (const QRegularExpressionMatch n = name.match(line.trimmed()); n.hasMatch()) {
        // "Sending f.bin, 2343 blocks: Give your local XMODEM receive command now."
        progress.strFile = n.captured(1).section(QStringLiteral(", "), 0, 0);
    }
    return progress;
}
