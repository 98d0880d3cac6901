#include "SystemErrorText.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>
#include <locale.h>
#include <utility>

namespace {

// The reasons a user meets with ports, sockets and files.
const std::pair<int, const char*> kKoreanReasons[] = {
    {EPERM, "허용되지 않은 작업입니다"},
    {ENOENT, "해당 파일이나 장치가 없습니다"},
    {EINTR, "작업이 중단되었습니다"},
    {EIO, "입출력 오류가 발생했습니다"},
    {ENXIO, "장치가 연결되어 있지 않습니다"},
    {EAGAIN, "잠시 사용할 수 없습니다. 다시 시도하십시오"},
    {ENOMEM, "메모리가 부족합니다"},
    {EACCES, "접근 권한이 없습니다"},
    {EBUSY, "장치가 사용 중입니다"},
    {EEXIST, "이미 있는 파일입니다"},
    {ENODEV, "해당 장치가 없습니다"},
    {ENOTDIR, "폴더가 아닙니다"},
    {EISDIR, "폴더입니다"},
    {EINVAL, "잘못된 값입니다"},
    {ENFILE, "시스템에 열린 파일이 너무 많습니다"},
    {EMFILE, "열린 파일이 너무 많습니다"},
    {ENOTTY, "직렬 장치가 아닙니다"},
    {EFBIG, "파일이 너무 큽니다"},
    {ENOSPC, "저장 공간이 부족합니다"},
    {EROFS, "읽기 전용 파일 시스템입니다"},
    {EPIPE, "상대편이 연결을 닫았습니다"},
    {ENAMETOOLONG, "경로가 너무 깁니다"},
    {ELOOP, "심볼릭 링크가 너무 많이 이어집니다"},
    {EDQUOT, "디스크 할당량을 넘었습니다"},
    {EADDRINUSE, "이미 사용 중인 주소(포트)입니다"},
    {EADDRNOTAVAIL, "사용할 수 없는 주소입니다"},
    {ENETDOWN, "네트워크가 꺼져 있습니다"},
    {ENETUNREACH, "네트워크에 연결할 수 없습니다"},
    {ECONNABORTED, "연결이 중단되었습니다"},
    {ECONNRESET, "상대편이 연결을 끊었습니다"},
    {ETIMEDOUT, "응답 시간이 초과되었습니다"},
    {ECONNREFUSED, "상대편이 연결을 거부했습니다"},
    {EHOSTUNREACH, "상대 호스트에 연결할 수 없습니다"},
};

// The C library's text for error, in the locale the program started in (Qt sets it from the
// environment); the reentrant form, as transfers report from threads of their own.
QString LibraryText(int error)
{
    char buffer[256] = {};
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

} // namespace

QString SystemErrorText(int error)
{
    for (const auto& [code, text] : kKoreanReasons) {
        if (code == error)
            return QString::fromUtf8(text);
    }
    return QStringLiteral("%1 (오류 번호 %2)").arg(LibraryText(error)).arg(error);
}

QString FileErrorText(const QFileDevice& file)
{
    // Qt words a failed call as the C library does, in the user's locale, except for a few
    // common reasons it keeps in English whatever the locale; either text names the reason.
    static const locale_t english = newlocale(LC_ALL_MASK, "C", nullptr);
    const QString reason = file.errorString();
    for (const auto& [code, text] : kKoreanReasons) {
        if (reason == LibraryText(code) || reason == QString::fromUtf8(strerror_l(code, english)))
            return QString::fromUtf8(text);
    }
    return reason;
}
