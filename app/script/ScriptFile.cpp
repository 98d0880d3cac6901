#include "ScriptFile.h"

#include "CharacterAt.h"
#include "ScriptConstants.h"
#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool ReadScriptFile(const QString& path, ScriptFileText& file, QString& error)
{
    const QFileInfo info(path);
    // A folder, a pipe or a device is no script; opening a pipe would wait for a writer.
    if (info.exists() && !info.isFile()) {
        error = QCoreApplication::translate("ScriptFile", "일반 파일이 아닙니다.");
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        error = FileErrorText(in);
        return false;
    }
    if (in.size() > kMaxScriptFileBytes) {
        error = QCoreApplication::translate("ScriptFile",
                                            "파일이 너무 큽니다 (%1 MB 까지 열 수 있습니다).")
                    .arg(kMaxScriptFileBytes / (1024 * 1024));
        return false;
    }
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        error = FileErrorText(in);
        return false;
    }
    bytes.replace("\r\n", "\n");
    tsl::DecodedScript decoded =
        tsl::DecodeScript(std::string_view(bytes.constData(), bytes.size()));
    file.text = QByteArray::fromStdString(decoded.text);
    file.encoding = decoded.encoding;
    return true;
}

tsl::EncodedScript EncodeScriptFile(const ScriptFileText& file)
{
    tsl::EncodedScript encoded =
        tsl::EncodeScript(std::string_view(file.text.constData(), file.text.size()), file.encoding);
    // Neither encoding uses the byte 0x0A inside a character, so line ends change safely here.
    std::string withCrLf;
    withCrLf.reserve(encoded.bytes.size() + encoded.bytes.size() / 16);
    for (const char c : encoded.bytes) {
        if (c == '\n')
            withCrLf += '\r';
        withCrLf += c;
    }
    encoded.bytes = std::move(withCrLf);
    return encoded;
}

UnencodableCharacter UnencodableAt(const QByteArray& text, qsizetype offset)
{
    return {text.left(offset).count('\n') + 1, CharacterAt(text, offset)};
}

bool WriteScriptFile(const QString& path, const QByteArray& bytes, QString& error)
{
    // Saving through a link updates the file it points to and keeps the link.
    const QFileInfo info(path);
    QSaveFile out(info.isSymLink() ? info.symLinkTarget() : path);
    if (!out.open(QIODevice::WriteOnly)) {
        error = FileErrorText(out);
        return false;
    }
    if (out.write(bytes) != bytes.size()) {
        error = FileErrorText(out);
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        error = FileErrorText(out);
        return false;
    }
    return true;
}
