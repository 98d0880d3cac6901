#include "CCommandActions.h"

#include "CommandIds.h"

#include <QAction>
#include <QCoreApplication>
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
    {ID_FILE_NEW_TVN, QT_TRANSLATE_NOOP("CCommandActions", "Tvn 새 파일(&P)"), "Ctrl+M",
     QT_TRANSLATE_NOOP("CCommandActions", "Tvn 새 파일"),
     QT_TRANSLATE_NOOP("CCommandActions", "새 통신 모니터 창을 엽니다."), true, false},
    {ID_FILE_NEW_SCRIPT, QT_TRANSLATE_NOOP("CCommandActions", "Script 새 파일(&C)"), "Ctrl+N",
     QT_TRANSLATE_NOOP("CCommandActions", "Script 새 파일"),
     QT_TRANSLATE_NOOP("CCommandActions", "새 스크립트 파일을 만듭니다."), true, false},
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("CCommandActions", "열기(&O)..."), "Ctrl+O",
     QT_TRANSLATE_NOOP("CCommandActions", "열기"),
     QT_TRANSLATE_NOOP("CCommandActions", "기존 파일을 엽니다."), true, false},
    {ID_FILE_SAVE, QT_TRANSLATE_NOOP("CCommandActions", "저장(&S)"), "Ctrl+S",
     QT_TRANSLATE_NOOP("CCommandActions", "저장"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 파일을 저장합니다."), false, false},
    {ID_FILE_SAVE_AS, QT_TRANSLATE_NOOP("CCommandActions", "다른 이름으로 저장(&A)..."), "",
     QT_TRANSLATE_NOOP("CCommandActions", "다른 이름으로 저장"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 파일을 새 이름으로 저장합니다."), false, false},
    {ID_FILE_CLOSE, QT_TRANSLATE_NOOP("CCommandActions", "닫기(&C)"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "닫기"),
     QT_TRANSLATE_NOOP("CCommandActions", "활성 창을 닫습니다."), true, false},
    {ID_FILE_EXPORT, QT_TRANSLATE_NOOP("CCommandActions", "내보내기..."), "",
     QT_TRANSLATE_NOOP("CCommandActions", "내보내기"),
     QT_TRANSLATE_NOOP("CCommandActions",
                       "화면의 통신 내용(선택 영역이 있으면 그 부분)을 텍스트, 헥사 덤프, CSV로 "
                       "저장합니다."),
     false, false},
    {ID_FILE_PRINT, QT_TRANSLATE_NOOP("CCommandActions", "인쇄"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "인쇄"),
     QT_TRANSLATE_NOOP("CCommandActions", "화면의 내용을 인쇄합니다."), false, false},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CCommandActions", "끝내기(&X)"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "끝내기"),
     QT_TRANSLATE_NOOP("CCommandActions", "프로그램을 끝냅니다."), true, false},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CCommandActions", "TARVEN 정보(&A)..."), "",
     QT_TRANSLATE_NOOP("CCommandActions", "TARVEN 정보"),
     QT_TRANSLATE_NOOP("CCommandActions", "프로그램 정보를 표시합니다."), true, false},

    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("CCommandActions", "실행 취소(&U)"), "Ctrl+Z",
     QT_TRANSLATE_NOOP("CCommandActions", "실행 취소"),
     QT_TRANSLATE_NOOP("CCommandActions", "마지막 작업을 취소합니다."), false, false},
    {ID_EDIT_REDO, QT_TRANSLATE_NOOP("CCommandActions", "다시 실행(&R)"), "Ctrl+Y",
     QT_TRANSLATE_NOOP("CCommandActions", "다시 실행"),
     QT_TRANSLATE_NOOP("CCommandActions", "취소한 작업을 다시 실행합니다."), false, false},
    {ID_EDIT_CUT, QT_TRANSLATE_NOOP("CCommandActions", "잘라내기(&X)"), "Ctrl+X",
     QT_TRANSLATE_NOOP("CCommandActions", "잘라내기"),
     QT_TRANSLATE_NOOP("CCommandActions", "선택 영역을 잘라내어 클립보드에 넣습니다."), false,
     false},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("CCommandActions", "복사(&C)"), "Ctrl+C",
     QT_TRANSLATE_NOOP("CCommandActions", "복사"),
     QT_TRANSLATE_NOOP("CCommandActions", "선택 영역을 복사하여 클립보드에 넣습니다."), false,
     false},
    {ID_EDIT_PASTE, QT_TRANSLATE_NOOP("CCommandActions", "붙여넣기(&P)"), "Ctrl+V",
     QT_TRANSLATE_NOOP("CCommandActions", "붙여넣기"),
     QT_TRANSLATE_NOOP("CCommandActions", "클립보드의 내용을 붙여넣습니다."), false, false},
    {ID_EDIT_CLEAR, QT_TRANSLATE_NOOP("CCommandActions", "선택부분 지우기"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "선택부분 지우기"),
     QT_TRANSLATE_NOOP("CCommandActions", "선택 영역을 지웁니다."), false, false},
    {ID_EDIT_CLEAR_ALL, QT_TRANSLATE_NOOP("CCommandActions", "전체 지우기"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "전체 지우기"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트를 모두 지웁니다."), false, false},
    {ID_EDIT_FIND, QT_TRANSLATE_NOOP("CCommandActions", "문자열 찾기"), "Ctrl+F",
     QT_TRANSLATE_NOOP("CCommandActions", "문자열 찾기"),
     QT_TRANSLATE_NOOP("CCommandActions", "문자열을 찾습니다."), false, false},
    {ID_EDIT_REPLACE, QT_TRANSLATE_NOOP("CCommandActions", "문자열 바꾸기"), "Ctrl+H",
     QT_TRANSLATE_NOOP("CCommandActions", "문자열 바꾸기"),
     QT_TRANSLATE_NOOP("CCommandActions", "문자열을 찾아 바꿉니다."), false, false},

    {ID_PORT_OPEN, QT_TRANSLATE_NOOP("CCommandActions", "포트열기(Connect..)"), "Ctrl+O",
     QT_TRANSLATE_NOOP("CCommandActions", "포트열기"),
     QT_TRANSLATE_NOOP("CCommandActions", "포트를 엽니다."), false, false},
    {ID_PORT_CLOSE, QT_TRANSLATE_NOOP("CCommandActions", "포트닫기(Disconnect..)"), "Ctrl+D",
     QT_TRANSLATE_NOOP("CCommandActions", "포트닫기"),
     QT_TRANSLATE_NOOP("CCommandActions", "포트를 닫습니다."), false, false},
    {ID_PORT_SETTINGS, QT_TRANSLATE_NOOP("CCommandActions", "포트설정"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "포트설정"),
     QT_TRANSLATE_NOOP("CCommandActions", "포트를 설정합니다."), false, false},
    {ID_VIEW_CLEAR, QT_TRANSLATE_NOOP("CCommandActions", "화면지우기"), "Ctrl+Shift+C",
     QT_TRANSLATE_NOOP("CCommandActions", "화면지우기"),
     QT_TRANSLATE_NOOP("CCommandActions", "화면을 지웁니다."), false, false},
    {ID_VIEW_PAUSE, QT_TRANSLATE_NOOP("CCommandActions", "수신멈춤(Pause)"), "Ctrl+P",
     QT_TRANSLATE_NOOP("CCommandActions", "수신멈춤"),
     QT_TRANSLATE_NOOP("CCommandActions", "수신 화면을 멈추거나 다시 시작합니다."), false, true},
    {ID_CAPTURE, QT_TRANSLATE_NOOP("CCommandActions", "갈무리"), "Ctrl+G",
     QT_TRANSLATE_NOOP("CCommandActions", "갈무리"),
     QT_TRANSLATE_NOOP("CCommandActions", "갈무리를 시작하거나 끝냅니다."), false, true},
    {ID_CAPTURE_SHOW, QT_TRANSLATE_NOOP("CCommandActions", "갈무리 파일보기"), "Ctrl+Shift+V",
     QT_TRANSLATE_NOOP("CCommandActions", "갈무리 파일보기"),
     QT_TRANSLATE_NOOP("CCommandActions", "갈무리 파일을 봅니다."), false, false},
    {ID_VIEW_ASCII, QT_TRANSLATE_NOOP("CCommandActions", "ASCII(문자) 표시"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "ASCII 표시"),
     QT_TRANSLATE_NOOP("CCommandActions", "수신 내용을 문자로 표시합니다."), false, true},
    {ID_VIEW_HEX, QT_TRANSLATE_NOOP("CCommandActions", "HEX(16진수) 표시"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "HEX 표시"),
     QT_TRANSLATE_NOOP("CCommandActions", "수신 내용을 16진수로 표시합니다."), false, true},
    {ID_VIEW_CONTROL, QT_TRANSLATE_NOOP("CCommandActions", "제어문자 표시"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "제어문자 표시"),
     QT_TRANSLATE_NOOP("CCommandActions", "제어문자를 표시합니다."), false, true},
    {ID_TVN_PRINT, QT_TRANSLATE_NOOP("CCommandActions", "인쇄"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "인쇄"),
     QT_TRANSLATE_NOOP("CCommandActions", "화면의 내용을 인쇄합니다."), false, false},
    {ID_FILE_TRANSFER, QT_TRANSLATE_NOOP("CCommandActions", "파일전송"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "파일전송"),
     QT_TRANSLATE_NOOP("CCommandActions", "파일을 전송합니다."), false, false},
    {ID_CHECKSUM, QT_TRANSLATE_NOOP("CCommandActions", "Check Sum 계산"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "Check Sum 계산"),
     QT_TRANSLATE_NOOP("CCommandActions", "CHECKSUM 연산을 합니다."), false, false},
    {ID_VIEW_CONTROL_PANEL, QT_TRANSLATE_NOOP("CCommandActions", "제어코드창"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "제어코드창"),
     QT_TRANSLATE_NOOP("CCommandActions", "제어코드창을 보이거나 숨깁니다."), false, true},
    {ID_TVN_COPY, QT_TRANSLATE_NOOP("CCommandActions", "복사"), "Ctrl+Ins",
     QT_TRANSLATE_NOOP("CCommandActions", "복사"),
     QT_TRANSLATE_NOOP("CCommandActions", "선택한 내용을 클립보드에 복사합니다."), false, false},
    {ID_LINE_DTR, QT_TRANSLATE_NOOP("CCommandActions", "DTR"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "DTR"),
     QT_TRANSLATE_NOOP("CCommandActions", "DTR 신호를 켜거나 끕니다."), false, true},
    {ID_LINE_RTS, QT_TRANSLATE_NOOP("CCommandActions", "RTS"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "RTS"),
     QT_TRANSLATE_NOOP("CCommandActions", "RTS 신호를 켜거나 끕니다."), false, true},
    {ID_LINE_BREAK, QT_TRANSLATE_NOOP("CCommandActions", "Break"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "Break"),
     QT_TRANSLATE_NOOP("CCommandActions", "Break 신호를 250 ms 동안 보냅니다."), false, false},
    {ID_BRIDGE_OPEN, QT_TRANSLATE_NOOP("CCommandActions", "브리지/탭..."), "",
     QT_TRANSLATE_NOOP("CCommandActions", "브리지/탭"),
     QT_TRANSLATE_NOOP("CCommandActions", "두 링크를 이어 오가는 데이터를 전달하고 보여줍니다."),
     false, false},
    {ID_VIEW_TIMESTAMP, QT_TRANSLATE_NOOP("CCommandActions", "시간 표시"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "시간 표시"),
     QT_TRANSLATE_NOOP("CCommandActions", "수신한 데이터가 도착한 시각을 표시합니다."), false,
     true},
    {ID_VIEW_FIND, QT_TRANSLATE_NOOP("CCommandActions", "찾기..."), "Ctrl+F",
     QT_TRANSLATE_NOOP("CCommandActions", "찾기"),
     QT_TRANSLATE_NOOP("CCommandActions", "모니터 창의 내용에서 문자열이나 바이트를 찾습니다."),
     false, false},
    {ID_VIEW_FIND_NEXT, QT_TRANSLATE_NOOP("CCommandActions", "다음 찾기"), "F3",
     QT_TRANSLATE_NOOP("CCommandActions", "다음 찾기"),
     QT_TRANSLATE_NOOP("CCommandActions", "다음으로 일치하는 곳을 찾습니다."), false, false},
    {ID_VIEW_FIND_PREV, QT_TRANSLATE_NOOP("CCommandActions", "이전 찾기"), "Shift+F3",
     QT_TRANSLATE_NOOP("CCommandActions", "이전 찾기"),
     QT_TRANSLATE_NOOP("CCommandActions", "이전에 일치하는 곳을 찾습니다."), false, false},
    {ID_VIEW_REPLAY, QT_TRANSLATE_NOOP("CCommandActions", "재생"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "재생"),
     QT_TRANSLATE_NOOP("CCommandActions",
                       "보고 있는 갈무리 파일을 새 창에서 기록된 속도로 재생합니다."),
     false, false},
    {ID_VIEW_PLOT, QT_TRANSLATE_NOOP("CCommandActions", "그래프"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "그래프"),
     QT_TRANSLATE_NOOP("CCommandActions", "수신한 줄의 숫자를 모니터 창 옆에 그래프로 그립니다."),
     false, true},
    {ID_VIEW_AUTO_REPLY, QT_TRANSLATE_NOOP("CCommandActions", "자동 응답"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "자동 응답"),
     QT_TRANSLATE_NOOP("CCommandActions",
                       "받은 요청에 규칙대로 응답하는 창을 모니터 창 옆에 엽니다."),
     false, true},
    {ID_VIEW_SEND_LINE, QT_TRANSLATE_NOOP("CCommandActions", "송신 입력줄"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "송신 입력줄"),
     QT_TRANSLATE_NOOP("CCommandActions",
                       "모니터 창 아래에 한 줄을 써서 Enter로 보내는 입력줄을 보이거나 숨깁니다."),
     false, true},

    {ID_SCRIPT_RUN, QT_TRANSLATE_NOOP("CCommandActions", "스크립트 실행(Run)"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 실행"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트를 실행합니다."), false, false},
    {ID_SCRIPT_STOP, QT_TRANSLATE_NOOP("CCommandActions", "스크립트 중지(Stop)"), "Shift+F5",
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 중지"),
     QT_TRANSLATE_NOOP("CCommandActions", "실행 중인 스크립트를 멈춥니다."), false, false},
    {ID_SCRIPT_VERIFY, QT_TRANSLATE_NOOP("CCommandActions", "스크립트 문법검사"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 문법검사"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트의 문법을 검사합니다."), false, false},
    {ID_SCRIPT_WATCH, QT_TRANSLATE_NOOP("CCommandActions", "스크립트 실행창"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 실행창"),
     QT_TRANSLATE_NOOP("CCommandActions", "스크립트 실행창을 보이거나 숨깁니다."), false, true},
    {ID_SCRIPT_CONTINUE, QT_TRANSLATE_NOOP("CCommandActions", "계속 실행(Continue)"), "F5",
     QT_TRANSLATE_NOOP("CCommandActions", "계속 실행"),
     QT_TRANSLATE_NOOP("CCommandActions",
                       "멈춘 스크립트를 계속 실행합니다. 실행 중이 아니면 실행을 시작합니다."),
     false, false},
    {ID_SCRIPT_STEP, QT_TRANSLATE_NOOP("CCommandActions", "한 명령 실행(Step)"), "F10",
     QT_TRANSLATE_NOOP("CCommandActions", "한 명령 실행"),
     QT_TRANSLATE_NOOP("CCommandActions", "멈춘 스크립트의 명령 하나를 실행하고 다시 멈춥니다. "
                                          "실행 중이 아니면 첫 명령 앞에서 멈춥니다."),
     false, false},
    {ID_SCRIPT_BREAKPOINT, QT_TRANSLATE_NOOP("CCommandActions", "중단점 설정/해제"), "F9",
     QT_TRANSLATE_NOOP("CCommandActions", "중단점 설정/해제"),
     QT_TRANSLATE_NOOP("CCommandActions", "커서가 있는 줄에 중단점을 두거나 없앱니다."), false,
     false},

    {ID_ENV_SETTINGS, QT_TRANSLATE_NOOP("CCommandActions", "환경설정"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "환경설정"),
     QT_TRANSLATE_NOOP("CCommandActions", "TARVEN 환경을 설정합니다."), true, false},
    {ID_HELP_MANUAL, QT_TRANSLATE_NOOP("CCommandActions", "TARVEN 운영 도움말"), "F1",
     QT_TRANSLATE_NOOP("CCommandActions", "TARVEN 운영 도움말"),
     QT_TRANSLATE_NOOP("CCommandActions", "사용 설명서를 엽니다."), true, false},
    {ID_WINDOW_CASCADE, QT_TRANSLATE_NOOP("CCommandActions", "계단식 배열(&C)"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "계단식 배열"),
     QT_TRANSLATE_NOOP("CCommandActions", "창을 겹쳐서 배열합니다."), true, false},
    {ID_WINDOW_TILE_HORZ, QT_TRANSLATE_NOOP("CCommandActions", "바둑판식 배열(&T)"), "",
     QT_TRANSLATE_NOOP("CCommandActions", "바둑판식 배열"),
     QT_TRANSLATE_NOOP("CCommandActions", "창을 겹치지 않게 배열합니다."), true, false},
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

QString Translated(const char* text)
{
    return QCoreApplication::translate("CCommandActions", text);
}

QAction* MakeAction(const CommandEntry& entry, QObject* parent)
{
    auto* action = new QAction(Translated(entry.text), parent);
    action->setObjectName(QString::number(entry.id));
    action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
    action->setToolTip(Translated(entry.tip));
    action->setStatusTip(Translated(entry.prompt));
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
