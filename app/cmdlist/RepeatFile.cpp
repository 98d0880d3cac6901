#include "RepeatFile.h"

#include "CmdListConstants.h"
#include "WholeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString kVersionKey = QStringLiteral("version");
const QString kRepeatsKey = QStringLiteral("repeats");
const QString kRowKey = QStringLiteral("row");
const QString kTextKey = QStringLiteral("text");
const QString kPeriodKey = QStringLiteral("periodMs");

// The periods of a side file's document; the reason when it is not one.
std::optional<QList<int>> ParseRepeats(const QJsonDocument& document, const CommandRows& rows,
                                       QString& reason)
{
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(kVersionKey).toInteger(-1) != kRepeatFileVersion) {
        reason = QCoreApplication::translate("RepeatFile", "반복 설정 파일의 버전이 %1이 아닙니다.")
                     .arg(kRepeatFileVersion);
        return std::nullopt;
    }
    if (!root.value(kRepeatsKey).isArray()) {
        reason =
            QCoreApplication::translate("RepeatFile", "\"%1\" 목록이 없습니다.").arg(kRepeatsKey);
        return std::nullopt;
    }
    QList<int> periods(rows.size(), 0);
    QList<bool> seen(rows.size(), false);
    const QJsonArray entries = root.value(kRepeatsKey).toArray();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject entry = entries[i].toObject();
        const qint64 row = entry.value(kRowKey).toInteger(0);
        const qint64 period = entry.value(kPeriodKey).toInteger(-1);
        const bool valid = entries[i].isObject() && entry.value(kTextKey).isString() && row >= 1 &&
                           row <= rows.size() && period >= kMinRepeatPeriodMs &&
                           period <= kMaxRepeatPeriodMs && !seen[row - 1];
        if (!valid) {
            reason = QCoreApplication::translate("RepeatFile", "%1번째 항목이 올바르지 않습니다.")
                         .arg(i + 1);
            return std::nullopt;
        }
        seen[row - 1] = true;
        if (entry.value(kTextKey).toString() == rows[row - 1].text)
            periods[row - 1] = int(period);
    }
    return periods;
}

} // namespace

QString RepeatFilePath(const QString& commandFile)
{
    return commandFile + QLatin1String(kRepeatFileSuffix);
}

int BoundedPeriod(qint64 periodMs)
{
    if (periodMs <= 0)
        return 0;
    return int(std::clamp<qint64>(periodMs, kMinRepeatPeriodMs, kMaxRepeatPeriodMs));
}

RepeatFileRead ReadRepeatFile(const QString& commandFile, const CommandRows& rows)
{
    RepeatFileRead result;
    result.periods = QList<int>(rows.size(), 0);
    const WholeFileRead file = ReadWholeFile(RepeatFilePath(commandFile), kMaxRepeatFileBytes);
    if (file.missing)
        return result;
    result.status = RepeatFileRead::Damaged;
    result.reason = file.reason;
    if (!file.data)
        return result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*file.data, &error);
    if (error.error != QJsonParseError::NoError) {
        result.reason = QCoreApplication::translate("RepeatFile", "JSON 오류 (%1 바이트): %2")
                            .arg(error.offset)
                            .arg(error.errorString());
        return result;
    }
    if (std::optional<QList<int>> periods = ParseRepeats(document, rows, result.reason)) {
        result.status = RepeatFileRead::Loaded;
        result.periods = std::move(*periods);
    }
    return result;
}

bool WriteRepeatFile(const QString& commandFile, const CommandRows& rows, const QList<int>& periods)
{
    QJsonArray entries;
    for (qsizetype row = 0; row < std::min(rows.size(), periods.size()); ++row) {
        if (periods[row] > 0)
            entries.append(QJsonObject{
                {kRowKey, row + 1}, {kTextKey, rows[row].text}, {kPeriodKey, periods[row]}});
    }
    const QString path = RepeatFilePath(commandFile);
    if (entries.isEmpty())
        return !QFile::exists(path) || QFile::remove(path);
    const QByteArray bytes =
        QJsonDocument(QJsonObject{{kVersionKey, kRepeatFileVersion}, {kRepeatsKey, entries}})
            .toJson();
    return WriteWholeFile(path, bytes);
}
