#include "CCommandActions.h"

#include "CommandIds.h"

#include <QAction>
#include <QFile>
#include <QIcon>

namespace {

struct CommandEntry
{
    int id;
    const char* text;     // menu text
    const char* shortcut; // empty for none
    const char* tip;      // tool tip of a toolbar button
    const char* prompt;   // status bar prompt
    bool enabled;         // whether the command works before its owner window exists
    bool checkable;
};

const CommandEntry kCommands[] = {
    {ID_FILE_NEW_TVN, "Tvn 새 파일(&P)", "Ctrl+M", "Tvn 새 파일", "새 통신 모니터 창을 엽니다.",
     true, false},
    {ID_FILE_NEW_SCRIPT, "Script 새 파일(&C)", "Ctrl+N", "Script 새 파일",
     "새 스크립트 파일을 만듭니다.", true, false},
    {ID_FILE_OPEN, "열기(&O)...", "Ctrl+O", "열기", "기존 파일을 엽니다.", true, false},
    {ID_FILE_SAVE, "저장(&S)", "Ctrl+S", "저장", "스크립트 파일을 저장합니다.", false, false},
    {ID_FILE_SAVE_AS, "다른 이름으로 저장(&A)...", "", "다른 이름으로 저장",
     "스크립트 파일을 새 이름으로 저장합니다.", false, false},
    {ID_FILE_CLOSE, "닫기(&C)", "", "닫기", "활성 창을 닫습니다.", true, false},
    {ID_FILE_PRINT, "인쇄", "", "인쇄", "화면의 내용을 인쇄합니다.", false, false},
    {ID_APP_EXIT, "끝내기(&X)", "", "끝내기", "프로그램을 끝냅니다.", true, false},
    {ID_APP_ABOUT, "TARVEN 정보(&A)...", "", "TARVEN 정보", "프로그램 정보를 표시합니다.", true,
     false},

    {ID_EDIT_UNDO, "실행 취소(&U)", "Ctrl+Z", "실행 취소", "마지막 작업을 취소합니다.", false,
     false},
    {ID_EDIT_REDO, "다시 실행(&R)", "Ctrl+Y", "다시 실행", "취소한 작업을 다시 실행합니다.", false,
     false},
    {ID_EDIT_CUT, "잘라내기(&X)", "Ctrl+X", "잘라내기", "선택 영역을 잘라내어 클립보드에 넣습니다.",
     false, false},
    {ID_EDIT_COPY, "복사(&C)", "Ctrl+C", "복사", "선택 영역을 복사하여 클립보드에 넣습니다.", false,
     false},
    {ID_EDIT_PASTE, "붙여넣기(&P)", "Ctrl+V", "붙여넣기", "클립보드의 내용을 붙여넣습니다.", false,
     false},
    {ID_EDIT_CLEAR, "선택부분 지우기", "", "선택부분 지우기", "선택 영역을 지웁니다.", false,
     false},
    {ID_EDIT_CLEAR_ALL, "전체 지우기", "", "전체 지우기", "스크립트를 모두 지웁니다.", false,
     false},
    {ID_EDIT_FIND, "문자열 찾기", "Ctrl+F", "문자열 찾기", "문자열을 찾습니다.", false, false},
    {ID_EDIT_REPLACE, "문자열 바꾸기", "Ctrl+H", "문자열 바꾸기", "문자열을 찾아 바꿉니다.", false,
     false},

    {ID_PORT_OPEN, "포트열기(Connect..)", "Ctrl+O", "포트열기", "포트를 엽니다.", false, false},
    {ID_PORT_CLOSE, "포트닫기(Disconnect..)", "Ctrl+D", "포트닫기", "포트를 닫습니다.", false,
     false},
    {ID_PORT_SETTINGS, "포트설정", "", "포트설정", "포트를 설정합니다.", false, false},
    {ID_VIEW_CLEAR, "화면지우기", "Ctrl+Shift+C", "화면지우기", "화면을 지웁니다.", false, false},
    {ID_VIEW_PAUSE, "수신멈춤(Pause)", "Ctrl+P", "수신멈춤",
     "수신 화면을 멈추거나 다시 시작합니다.", false, true},
    {ID_CAPTURE, "갈무리", "Ctrl+G", "갈무리", "갈무리를 시작하거나 끝냅니다.", false, true},
    {ID_CAPTURE_SHOW, "갈무리 파일보기", "Ctrl+Shift+V", "갈무리 파일보기", "갈무리 파일을 봅니다.",
     false, false},
    {ID_VIEW_ASCII, "ASCII(문자) 표시", "", "ASCII 표시", "수신 내용을 문자로 표시합니다.", false,
     true},
    {ID_VIEW_HEX, "HEX(16진수) 표시", "", "HEX 표시", "수신 내용을 16진수로 표시합니다.", false,
     true},
    {ID_VIEW_CONTROL, "제어문자 표시", "", "제어문자 표시", "제어문자를 표시합니다.", false, true},
    {ID_TVN_PRINT, "인쇄", "", "인쇄", "화면의 내용을 인쇄합니다.", false, false},
    {ID_FILE_TRANSFER, "파일전송", "", "파일전송", "파일을 전송합니다.", false, false},
    {ID_CHECKSUM, "Check Sum 계산", "", "Check Sum 계산", "CHECKSUM 연산을 합니다.", false, false},
    {ID_VIEW_CONTROL_PANEL, "제어코드창", "", "제어코드창", "제어코드창을 보이거나 숨깁니다.",
     false, true},
    {ID_TVN_COPY, "복사", "Ctrl+Ins", "복사", "선택한 내용을 클립보드에 복사합니다.", false, false},
    {ID_LINE_DTR, "DTR", "", "DTR", "DTR 신호를 켜거나 끕니다.", false, true},
    {ID_LINE_RTS, "RTS", "", "RTS", "RTS 신호를 켜거나 끕니다.", false, true},
    {ID_LINE_BREAK, "Break", "", "Break", "Break 신호를 250 ms 동안 보냅니다.", false, false},
    {ID_VIEW_TIMESTAMP, "시간 표시", "", "시간 표시", "수신한 데이터가 도착한 시각을 표시합니다.",
     false, true},
    {ID_VIEW_FIND, "찾기...", "Ctrl+F", "찾기",
     "모니터 창의 내용에서 문자열이나 바이트를 찾습니다.", false, false},
    {ID_VIEW_FIND_NEXT, "다음 찾기", "F3", "다음 찾기", "다음으로 일치하는 곳을 찾습니다.", false,
     false},
    {ID_VIEW_FIND_PREV, "이전 찾기", "Shift+F3", "이전 찾기", "이전에 일치하는 곳을 찾습니다.",
     false, false},

    {ID_SCRIPT_RUN, "스크립트 실행(Run)", "", "스크립트 실행", "스크립트를 실행합니다.", false,
     false},
    {ID_SCRIPT_STOP, "스크립트 중지(Stop)", "", "스크립트 중지", "실행 중인 스크립트를 멈춥니다.",
     false, false},
    {ID_SCRIPT_VERIFY, "스크립트 문법검사", "", "스크립트 문법검사",
     "스크립트의 문법을 검사합니다.", false, false},
    {ID_SCRIPT_WATCH, "스크립트 실행창", "", "스크립트 실행창",
     "스크립트 실행창을 보이거나 숨깁니다.", false, true},

    {ID_ENV_SETTINGS, "환경설정", "", "환경설정", "TARVEN 환경을 설정합니다.", true, false},
    {ID_HELP_MANUAL, "TARVEN 운영 도움말", "F1", "TARVEN 운영 도움말", "사용 설명서를 엽니다.",
     true, false},
    {ID_WINDOW_CASCADE, "계단식 배열(&C)", "", "계단식 배열", "창을 겹쳐서 배열합니다.", true,
     false},
    {ID_WINDOW_TILE_HORZ, "바둑판식 배열(&T)", "", "바둑판식 배열", "창을 겹치지 않게 배열합니다.",
     true, false},
};

const QList<int> kToolbarLayout = {ID_FILE_NEW_SCRIPT,
                                   0,
                                   ID_FILE_OPEN,
                                   ID_FILE_SAVE,
                                   0,
                                   ID_EDIT_CUT,
                                   ID_EDIT_COPY,
                                   ID_EDIT_PASTE,
                                   0,
                                   ID_SCRIPT_RUN,
                                   ID_SCRIPT_STOP,
                                   ID_SCRIPT_VERIFY,
                                   ID_SCRIPT_WATCH,
                                   0,
                                   ID_FILE_NEW_TVN,
                                   0,
                                   ID_PORT_OPEN,
                                   ID_PORT_CLOSE,
                                   0,
                                   ID_PORT_SETTINGS,
                                   0,
                                   ID_VIEW_PAUSE,
                                   ID_CAPTURE,
                                   0,
                                   ID_VIEW_CONTROL_PANEL,
                                   0,
                                   ID_VIEW_ASCII,
                                   ID_VIEW_HEX,
                                   ID_VIEW_CONTROL,
                                   0,
                                   ID_VIEW_CLEAR,
                                   ID_FILE_TRANSFER,
                                   ID_CHECKSUM};

QAction* MakeAction(const CommandEntry& entry, QObject* parent)
{
    auto* action = new QAction(QString::fromUtf8(entry.text), parent);
    action->setObjectName(QString::number(entry.id));
    action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    action->setToolTip(QString::fromUtf8(entry.tip));
    action->setStatusTip(QString::fromUtf8(entry.prompt));
    action->setCheckable(entry.checkable);
    action->setEnabled(entry.enabled);
    const QString iconPath = QStringLiteral(":/icons/%1.svg").arg(entry.id);
    if (QFile::exists(iconPath))
        action->setIcon(QIcon(iconPath));
    return action;
}

} // namespace

CCommandActions::CCommandActions(QObject* parent) : QObject(parent)
{
    for (const CommandEntry& entry : kCommands)
        m_actions.insert(entry.id, MakeAction(entry, parent));
}

QAction* CCommandActions::Make(int id, QObject* parent)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id)
            return MakeAction(entry, parent);
    }
    return nullptr;
}

QAction* CCommandActions::Action(int id) const
{
    return m_actions.value(id);
}

void CCommandActions::Register(QAction* action)
{
    m_actions.insert(action->objectName().toInt(), action);
}

const QList<int>& CCommandActions::ToolbarLayout()
{
    return kToolbarLayout;
}
