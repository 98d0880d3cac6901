#include "WholeFile.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

std::optional<QByteArray> ReadWholeFile(QFile& file, qint64 limitBytes, QString& reason)
{
    if (file.size() > limitBytes) {
        reason = QCoreApplication::translate("WholeFile", "파일이 너무 큽니다 (%1 바이트).")
                     .arg(file.size());
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = FileErrorText(file);
        return std::nullopt;
    }
    return data;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    // A write the disk cuts short (full, over a size limit) can still let commit() succeed
    // with a shortened file, so the written size is checked first; an uncommitted file is
    // thrown away and the old one stays.
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                         file.flush() && file.size() == bytes.size();
    return written && file.commit();
}
