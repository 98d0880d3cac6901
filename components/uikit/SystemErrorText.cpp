#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cerrno>
#include <cstring>
#include <locale.h>
#include <utility>

namespace {

// The reasons a user meets with ports, sockets and files.
const std::pair<int, const char*> kReasons[] = {
    {EPERM, QT_TRANSLATE_NOOP("SystemErrorText", "허용되지 않은 작업입니다")},
    {ENOENT, QT_TRANSLATE_NOOP("SystemErrorText", "해당 파일이나 장치가 없습니다")},
    {EINTR, QT_TRANSLATE_NOOP("SystemErrorText", "작업이 중단되었습니다")},
    {EIO, QT_TRANSLATE_NOOP("SystemErrorText", "입출력 오류가 발생했습니다")},
    {ENXIO, QT_TRANSLATE_NOOP("SystemErrorText", "장치가 연결되어 있지 않습니다")},
    {EAGAIN, QT_TRANSLATE_NOOP("SystemErrorText", "잠시 사용할 수 없습니다. 다시 시도하십시오")},
    {ENOMEM, QT_TRANSLATE_NOOP("SystemErrorText", "메모리가 부족합니다")},
    {EACCES, QT_TRANSLATE_NOOP("SystemErrorText", "접근 권한이 없습니다")},
    {EBUSY, QT_TRANSLATE_NOOP("SystemErrorText", "장치가 사용 중입니다")},
    {EEXIST, QT_TRANSLATE_NOOP("SystemErrorText", "이미 있는 파일입니다")},
    {ENODEV, QT_TRANSLATE_NOOP("SystemErrorText", "해당 장치가 없습니다")},
    {ENOTDIR, QT_TRANSLATE_NOOP("SystemErrorText", "폴더가 아닙니다")},
    {EISDIR, QT_TRANSLATE_NOOP("SystemErrorText", "폴더입니다")},
    {EINVAL, QT_TRANSLATE_NOOP("SystemErrorText", "잘못된 값입니다")},
    {ENFILE, QT_TRANSLATE_NOOP("SystemErrorText", "시스템에 열린 파일이 너무 많습니다")},
    {EMFILE, QT_TRANSLATE_NOOP("SystemErrorText", "열린 파일이 너무 많습니다")},
    {ENOTTY, QT_TRANSLATE_NOOP("SystemErrorText", "직렬 장치가 아닙니다")},
    {EFBIG, QT_TRANSLATE_NOOP("SystemErrorText", "파일이 너무 큽니다")},
    {ENOSPC, QT_TRANSLATE_NOOP("SystemErrorText", "저장 공간이 부족합니다")},
    {EROFS, QT_TRANSLATE_NOOP("SystemErrorText", "읽기 전용 파일 시스템입니다")},
    {EPIPE, QT_TRANSLATE_NOOP("SystemErrorText", "상대편이 연결을 닫았습니다")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("SystemErrorText", "경로가 너무 깁니다")},
    {ELOOP, QT_TRANSLATE_NOOP("SystemErrorText", "심볼릭 링크가 너무 많이 이어집니다")},
    {EDQUOT, QT_TRANSLATE_NOOP("SystemErrorText", "디스크 할당량을 넘었습니다")},
    {EADDRINUSE, QT_TRANSLATE_NOOP("SystemErrorText", "이미 사용 중인 주소(포트)입니다")},
    {EADDRNOTAVAIL, QT_TRANSLATE_NOOP("SystemErrorText", "사용할 수 없는 주소입니다")},
    {ENETDOWN, QT_TRANSLATE_NOOP("SystemErrorText", "네트워크가 꺼져 있습니다")},
    {ENETUNREACH, QT_TRANSLATE_NOOP("SystemErrorText", "네트워크에 연결할 수 없습니다")},
    {ECONNABORTED, QT_TRANSLATE_NOOP("SystemErrorText", "연결이 중단되었습니다")},
    {ECONNRESET, QT_TRANSLATE_NOOP("SystemErrorText", "상대편이 연결을 끊었습니다")},
    {ETIMEDOUT, QT_TRANSLATE_NOOP("SystemErrorText", "응답 시간이 초과되었습니다")},
    {ECONNREFUSED, QT_TRANSLATE_NOOP("SystemErrorText", "상대편이 연결을 거부했습니다")},
    {EHOSTUNREACH, QT_TRANSLATE_NOOP("SystemErrorText", "상대 호스트에 연결할 수 없습니다")},
};

// The C library's text for error, in the locale the program started in (Qt sets it from the
// environment); the reentrant form, as transfers report from threads of their own.
QString LibraryText(int error)
{
    char buffer[256] = {};
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

QString Translated(const char* reason)
{
    return QCoreApplication::translate("SystemErrorText", reason);
}

} // namespace

QString SystemErrorText(int error)
{
    for (const auto& [code, text] : kReasons) {
        if (code == error)
            return Translated(text);
    }
    return QCoreApplication::translate("SystemErrorText", "%1 (오류 번호 %2)")
        .arg(LibraryText(error))
        .arg(error);
}

QString FileErrorText(const QFileDevice& file)
{
    // Qt words a failed call as the C library does, in the user's locale, except for a few
    // common reasons it keeps in English whatever the locale; either text names the reason.
    static const locale_t english = newlocale(LC_ALL_MASK, "C", nullptr);
    const QString reason = file.errorString();
    for (const auto& [code, text] : kReasons) {
        if (reason == LibraryText(code) || reason == QString::fromUtf8(strerror_l(code, english)))
            return Translated(text);
    }
    return reason;
}
