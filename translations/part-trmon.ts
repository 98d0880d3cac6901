<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>CCaptureNameDlg</name>
    <message>
        <source>갈무리 저장파일 이름</source>
        <translation>Capture File Name</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>갈무리 파일 이름을 입력하십시오.</source>
        <translation>Enter a name for the capture file.</translation>
    </message>
</context>
<context>
    <name>CCaptureWriter</name>
    <message>
        <source>갈무리 파일에 쓸 수 없습니다: %1
%2</source>
        <translation>Cannot write to the capture file: %1
%2</translation>
    </message>
</context>
<context>
    <name>CFindBar</name>
    <message>
        <source>잘못된 패턴</source>
        <translation>Invalid pattern</translation>
    </message>
    <message>
        <source>찾을 수 없음</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>이전</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>이전 찾기 (Shift+F3)</source>
        <translation>Find previous (Shift+F3)</translation>
    </message>
    <message>
        <source>다음</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>다음 찾기 (F3)</source>
        <translation>Find next (F3)</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>찾기 막대를 닫습니다 (Esc)</source>
        <translation>Close the find bar (Esc)</translation>
    </message>
    <message>
        <source>찾기:</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>16진수 바이트 (예: 0D 0A)</source>
        <translation>Hex bytes (e.g. 0D 0A)</translation>
    </message>
    <message>
        <source>찾을 문자열</source>
        <translation>Text to find</translation>
    </message>
</context>
<context>
    <name>CMonitorLink</name>
    <message>
        <source>%1초</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1분 %2초</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1시간 </source>
        <translation>%1 h </translation>
    </message>
    <message>
        <source>보낼 곳이 없습니다: 원격 IP가 비어 있으면 데이터그램을 받은 뒤에 답합니다 ...</source>
        <translation>Nowhere to send: with an empty remote IP, replies go out once a datagram has arrived ...</translation>
    </message>
    <message>
        <source>포트 연결이 끊어졌습니다 [%1]: %2 ...</source>
        <translation>Port disconnected [%1]: %2 ...</translation>
    </message>
    <message>
        <source>재연결 대기중...</source>
        <translation>Waiting to reconnect...</translation>
    </message>
    <message>
        <source>포트가 다시 연결되었습니다 [%1] (끊긴 시간 %2) ...</source>
        <translation>Port reconnected [%1] (away for %2) ...</translation>
    </message>
</context>
<context>
    <name>CMonitorWindow</name>
    <message>
        <source>재생</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>보고 있는 갈무리 파일을 새 창에서 기록된 속도로 재생합니다.</source>
        <translation>Replays the capture file shown here in a new window at its recorded pace.</translation>
    </message>
    <message>
        <source>갈무리 파일을 읽을 수 없습니다.
%1</source>
        <translation>Cannot read the capture file.
%1</translation>
    </message>
</context>
<context>
    <name>CPaneIndicator</name>
    <message>
        <source>클릭하면 포트설정을 엽니다.</source>
        <translation>Click to open the port settings.</translation>
    </message>
</context>
<context>
    <name>CPortSettingsDlg</name>
    <message>
        <source>통신포트 설정</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>없음</source>
        <translation>None</translation>
    </message>
    <message>
        <source>자동 재연결</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>포트 리스트</source>
        <translation>Ports</translation>
    </message>
    <message>
        <source>통신포트</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>전송속도</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>데이타비트</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>패리티비트</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>정지비트</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>흐름제어</source>
        <translation>Flow control</translation>
    </message>
    <message>
        <source>서버에 접속시 메세지 전송</source>
        <translation>Send a message to clients that connect</translation>
    </message>
    <message>
        <source>자동</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>로컬포트 (UDP)</source>
        <translation>Local port (UDP)</translation>
    </message>
    <message>
        <source>Enter 키 전송</source>
        <translation>Enter key sends</translation>
    </message>
    <message>
        <source>원격포트</source>
        <translation>Remote port</translation>
    </message>
    <message>
        <source>서버포트</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>원격 IP</source>
        <translation>Remote IP</translation>
    </message>
    <message>
        <source>서버 IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>통신포트를 선택하거나 장치 경로를 입력하십시오.</source>
        <translation>Choose a port or enter a device path.</translation>
    </message>
    <message>
        <source>서버 IP 주소가 올바르지 않습니다. (예: 192.168.0.10)</source>
        <translation>The server IP address is not valid. (e.g. 192.168.0.10)</translation>
    </message>
</context>
<context>
    <name>CPrintTarget</name>
    <message>
        <source>PDF로 저장</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>프린터: %1</source>
        <translation>Printer: %1</translation>
    </message>
    <message>
        <source>(없음)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
</context>
<context>
    <name>CReplayBar</name>
    <message>
        <source>최대</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>일시정지</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>재생</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>손상된 기록 %1개를 건너뛰었습니다</source>
        <translation>Damaged records skipped: %1</translation>
    </message>
    <message>
        <source> (%1 바이트 중 %2 바이트까지 재생)</source>
        <translation> (played up to byte %2 of %1)</translation>
    </message>
</context>
<context>
    <name>CReplayWindow</name>
    <message>
        <source>재생 - %1</source>
        <translation>Replay - %1</translation>
    </message>
</context>
<context>
    <name>CTARVENView</name>
    <message>
        <source> (갈무리)</source>
        <translation> (capturing)</translation>
    </message>
    <message>
        <source>갈무리파일</source>
        <translation>Capture File</translation>
    </message>
    <message>
        <source>인쇄</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>갈무리를 할 수 없습니다.
%1</source>
        <translation>Cannot capture.
%1</translation>
    </message>
    <message>
        <source>손상된 기록 %1개를 건너뛰었습니다</source>
        <translation>Damaged records skipped: %1</translation>
    </message>
    <message>
        <source>TARVEN 파일이 아닙니다.</source>
        <translation>Not a TARVEN file.</translation>
    </message>
    <message>
        <source>새 버전의 TARVEN에서 만든 갈무리 파일입니다.
%1</source>
        <translation>This capture file was made by a newer version of TARVEN.
%1</translation>
    </message>
    <message>
        <source>갈무리 파일을 읽을 수 없습니다.
%1</source>
        <translation>Cannot read the capture file.
%1</translation>
    </message>
    <message>
        <source>인쇄를 시작할 수 없습니다.
%1</source>
        <translation>Cannot start printing.
%1</translation>
    </message>
    <message>
        <source>인쇄를 마치지 못했습니다.
%1</source>
        <translation>Printing did not finish.
%1</translation>
    </message>
    <message>
        <source>지원되지 않음</source>
        <translation>Not supported</translation>
    </message>
    <message>
        <source>재연결 대기중...</source>
        <translation>Reconnecting...</translation>
    </message>
    <message>
        <source>통신포트 연결에 실패하였습니다. [%1]
%2</source>
        <translation>Could not open the port. [%1]
%2</translation>
    </message>
    <message>
        <source>이미 다른 창에서 사용중인 포트입니다: %1</source>
        <translation>The port is already in use in another window: %1</translation>
    </message>
    <message>
        <source>다른 프로그램이 사용중인 포트입니다: %1</source>
        <translation>The port is in use by another program: %1</translation>
    </message>
    <message>
        <source>이미 서버 서비스가 시작되었습니다.</source>
        <translation>The server service has already been started.</translation>
    </message>
    <message>
        <source>SERVICE 오류...</source>
        <translation>SERVICE error...</translation>
    </message>
    <message>
        <source>서버 서비스를 시작할 수 없습니다. (port:%1)
%2</source>
        <translation>Cannot start the server service. (port:%1)
%2</translation>
    </message>
    <message>
        <source>포트 번호는 1부터 65535까지입니다. (port:%1)</source>
        <translation>Port numbers run from 1 to 65535. (port:%1)</translation>
    </message>
    <message>
        <source>UDP 포트를 열 수 없습니다. (port:%1)
%2</source>
        <translation>Cannot open the UDP port. (port:%1)
%2</translation>
    </message>
    <message>
        <source>Socket Client 접속실패 !!!</source>
        <translation>Socket Client connect failed !!!</translation>
    </message>
</context>
<context>
    <name>CTextViewCtrl</name>
    <message>
        <source>복사</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>모두 선택</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>SystemErrorText</name>
    <message>
        <source>허용되지 않은 작업입니다</source>
        <translation>Operation not permitted</translation>
    </message>
    <message>
        <source>해당 파일이나 장치가 없습니다</source>
        <translation>No such file or device</translation>
    </message>
    <message>
        <source>작업이 중단되었습니다</source>
        <translation>The operation was interrupted</translation>
    </message>
    <message>
        <source>입출력 오류가 발생했습니다</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>장치가 연결되어 있지 않습니다</source>
        <translation>The device is not connected</translation>
    </message>
    <message>
        <source>잠시 사용할 수 없습니다. 다시 시도하십시오</source>
        <translation>Temporarily unavailable. Try again</translation>
    </message>
    <message>
        <source>메모리가 부족합니다</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>접근 권한이 없습니다</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>장치가 사용 중입니다</source>
        <translation>The device is busy</translation>
    </message>
    <message>
        <source>이미 있는 파일입니다</source>
        <translation>The file already exists</translation>
    </message>
    <message>
        <source>해당 장치가 없습니다</source>
        <translation>No such device</translation>
    </message>
    <message>
        <source>폴더가 아닙니다</source>
        <translation>Not a folder</translation>
    </message>
    <message>
        <source>폴더입니다</source>
        <translation>Is a folder</translation>
    </message>
    <message>
        <source>잘못된 값입니다</source>
        <translation>Invalid argument</translation>
    </message>
    <message>
        <source>시스템에 열린 파일이 너무 많습니다</source>
        <translation>Too many open files in the system</translation>
    </message>
    <message>
        <source>열린 파일이 너무 많습니다</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>직렬 장치가 아닙니다</source>
        <translation>Not a serial device</translation>
    </message>
    <message>
        <source>파일이 너무 큽니다</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>저장 공간이 부족합니다</source>
        <translation>No space left on the device</translation>
    </message>
    <message>
        <source>읽기 전용 파일 시스템입니다</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>상대편이 연결을 닫았습니다</source>
        <translation>The peer closed the connection</translation>
    </message>
    <message>
        <source>경로가 너무 깁니다</source>
        <translation>The path is too long</translation>
    </message>
    <message>
        <source>심볼릭 링크가 너무 많이 이어집니다</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <source>디스크 할당량을 넘었습니다</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>이미 사용 중인 주소(포트)입니다</source>
        <translation>The address (port) is already in use</translation>
    </message>
    <message>
        <source>사용할 수 없는 주소입니다</source>
        <translation>The address is not available</translation>
    </message>
    <message>
        <source>네트워크가 꺼져 있습니다</source>
        <translation>The network is down</translation>
    </message>
    <message>
        <source>네트워크에 연결할 수 없습니다</source>
        <translation>The network is unreachable</translation>
    </message>
    <message>
        <source>연결이 중단되었습니다</source>
        <translation>The connection was aborted</translation>
    </message>
    <message>
        <source>상대편이 연결을 끊었습니다</source>
        <translation>The peer reset the connection</translation>
    </message>
    <message>
        <source>응답 시간이 초과되었습니다</source>
        <translation>Timed out waiting for an answer</translation>
    </message>
    <message>
        <source>상대편이 연결을 거부했습니다</source>
        <translation>The peer refused the connection</translation>
    </message>
    <message>
        <source>상대 호스트에 연결할 수 없습니다</source>
        <translation>The host is unreachable</translation>
    </message>
    <message>
        <source>%1 (오류 번호 %2)</source>
        <translation>%1 (error number %2)</translation>
    </message>
</context>
</TS>
