#include "CommandFile.h"

#include "CmdListConstants.h"
#include "Cp949.h"
#include "WholeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

namespace {

// Length prefixes of a counted string: one byte below the first mark, a 16-bit length after
// it below the second mark, a 32-bit length after both.
constexpr quint8 kByteLengthMark = 0xFF;
constexpr quint16 kWordLengthMark = 0xFFFF;
constexpr quint32 kLongestWordLength = 0xFFFD;
// The smallest record: two empty strings of one length byte each.
constexpr qsizetype kMinRecordBytes = 2;
constexpr qsizetype kCountBytes = 4;

QString RowName(int row)
{
    return QCoreApplication::translate("CommandFile", "전송 %1").arg(row + 1);
}

// Reads the fields of a command file front to back, never past its end.
class FieldReader
{
public:
    explicit FieldReader(const QByteArray& data) : m_data(data) {}

    qsizetype Left() const { return m_data.size() - m_pos; }

    template <typename T> std::optional<T> Number()
    {
        if (Left() < qsizetype(sizeof(T)))
            return std::nullopt;
        const T value = qFromLittleEndian<T>(m_data.constData() + m_pos);
        m_pos += qsizetype(sizeof(T));
        return value;
    }

    std::optional<QByteArray> CountedString()
    {
        std::optional<quint32> length = Number<quint8>();
        if (length == kByteLengthMark) {
            length = Number<quint16>();
            if (length == kWordLengthMark)
                length = Number<quint32>();
        }
        if (!length || *length > quint64(Left()))
            return std::nullopt;
        const QByteArray bytes = m_data.mid(m_pos, qsizetype(*length));
        m_pos += qsizetype(*length);
        return bytes;
    }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
};

// Text of a counted string. Files are written in code page 949; one made by hand in UTF-8
// is read as that rather than refused.
std::optional<QString> DecodeText(const QByteArray& bytes)
{
    if (std::optional<QString> text = DecodeCp949(bytes))
        return text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

void AppendNumber(QByteArray& out, auto value)
{
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    out.append(bytes, qsizetype(sizeof value));
}

void AppendCountedString(QByteArray& out, const QByteArray& bytes)
{
    const auto length = quint32(bytes.size());
    if (length < kByteLengthMark) {
        AppendNumber(out, quint8(length));
    } else if (length <= kLongestWordLength) {
        AppendNumber(out, kByteLengthMark);
        AppendNumber(out, quint16(length));
    } else {
        AppendNumber(out, kByteLengthMark);
        AppendNumber(out, kWordLengthMark);
        AppendNumber(out, length);
    }
    out.append(bytes);
}

} // namespace

std::optional<CommandRows> ParseCommandFile(const QByteArray& data, QString* reason)
{
    const auto fail = [reason](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return std::nullopt;
    };
    FieldReader reader(data);
    const std::optional<qint32> count = reader.Number<qint32>();
    if (!count)
        return fail(QCoreApplication::translate("CommandFile", "행 수가 없습니다."));
    if (*count < 0 || *count > (data.size() - kCountBytes) / kMinRecordBytes)
        return fail(
            QCoreApplication::translate("CommandFile", "행 수(%1)가 파일 크기에 맞지 않습니다.")
                .arg(*count));
    if (*count > kMaxCommandRows)
        return fail(QCoreApplication::translate("CommandFile", "행 수(%1)가 %2을 넘습니다.")
                        .arg(*count)
                        .arg(kMaxCommandRows));
    CommandRows rows;
    rows.reserve(*count);
    for (int row = 0; row < *count; ++row) {
        CommandRow entry;
        for (QString* field : {&entry.text, &entry.description}) {
            const std::optional<QByteArray> bytes = reader.CountedString();
            if (!bytes)
                return fail(QCoreApplication::translate("CommandFile",
                                                        "%1의 데이터가 파일 끝을 넘어갑니다.")
                                .arg(RowName(row)));
            const std::optional<QString> text = DecodeText(*bytes);
            if (!text)
                return fail(
                    QCoreApplication::translate("CommandFile", "%1의 글자를 읽을 수 없습니다.")
                        .arg(RowName(row)));
            *field = *text;
        }
        rows.append(entry);
    }
    return rows;
}

std::optional<QByteArray> SerializeCommandFile(const CommandRows& rows, int* badRow)
{
    QByteArray out;
    AppendNumber(out, qint32(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        for (const QString* field : {&rows[row].text, &rows[row].description}) {
            const std::optional<QByteArray> bytes = EncodeCp949(*field);
            if (!bytes) {
                if (badRow != nullptr)
                    *badRow = row;
                return std::nullopt;
            }
            AppendCountedString(out, *bytes);
        }
    }
    return out;
}

CommandFileRead ReadCommandFile(const QString& path)
{
    CommandFileRead result;
    const WholeFileRead file = ReadWholeFile(path, kMaxCommandFileBytes);
    result.reason = file.reason;
    if (file.regular)
        result.status = CommandFileRead::Damaged;
    if (!file.data)
        return result;
    if (std::optional<CommandRows> rows = ParseCommandFile(*file.data, &result.reason)) {
        result.status = CommandFileRead::Loaded;
        result.rows = std::move(*rows);
    }
    return result;
}

CommandFileWrite WriteCommandFile(const QString& path, const CommandRows& rows)
{
    CommandFileWrite result;
    const std::optional<QByteArray> bytes = SerializeCommandFile(rows, &result.badRow);
    if (!bytes) {
        result.status = CommandFileWrite::Unencodable;
        return result;
    }
    if (WriteWholeFile(path, *bytes))
        result.status = CommandFileWrite::Saved;
    return result;
}
