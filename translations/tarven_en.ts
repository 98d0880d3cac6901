<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>CAutoReply</name>
    <message>
        <source>error : line %1, column %2, %3</source>
        <translation>error : line %1, column %2, %3</translation>
    </message>
    <message>
        <source>창의 인코딩(%1)으로 보낼 수 없는 문자입니다</source>
        <translation>a character the window&apos;s encoding (%1) cannot send</translation>
    </message>
</context>
<context>
    <name>CAutoReplyPanel</name>
    <message>
        <source>응답 규칙 (*.rules *.txt);;모든 파일 (*)</source>
        <translation>Reply rules (*.rules *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>자동 응답</source>
        <translation>Auto Reply</translation>
    </message>
    <message>
        <source>불러오기...</source>
        <translation>Load...</translation>
    </message>
    <message>
        <source>규칙 파일을 읽어 적용합니다.</source>
        <translation>Reads a rule file and applies it.</translation>
    </message>
    <message>
        <source>저장...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>상자의 규칙을 파일로 저장합니다.</source>
        <translation>Saves the rules in the box to a file.</translation>
    </message>
    <message>
        <source>적용</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>상자의 규칙을 씁니다. 횟수는 0부터 다시 셉니다 (Ctrl+Enter).</source>
        <translation>Uses the rules in the box. The counts start again from 0 (Ctrl+Enter).</translation>
    </message>
    <message>
        <source>사용</source>
        <translation>On</translation>
    </message>
    <message>
        <source>받은 요청에 적용한 규칙대로 응답합니다. 창을 닫으면 멈춥니다.</source>
        <translation>Answers received requests by the applied rules. Closing the panel stops it.</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>자동 응답 창을 닫습니다. 응답도 멈춥니다.</source>
        <translation>Closes the Auto Reply panel. Replies stop too.</translation>
    </message>
    <message>
        <source># 한 줄에 규칙 하나:
when &lt;01&gt;&lt;03&gt;?? ?? ?? ?? crc16 reply &lt;01&gt;&lt;03&gt;&lt;04&gt;&lt;00&gt;&lt;2A&gt;&lt;00&gt;&lt;07&gt; crc16
when AT&lt;0D&gt; reply OK&lt;0D&gt;&lt;0A&gt; after 5ms</source>
        <translation># One rule a line:
when &lt;01&gt;&lt;03&gt;?? ?? ?? ?? crc16 reply &lt;01&gt;&lt;03&gt;&lt;04&gt;&lt;00&gt;&lt;2A&gt;&lt;00&gt;&lt;07&gt; crc16
when AT&lt;0D&gt; reply OK&lt;0D&gt;&lt;0A&gt; after 5ms</translation>
    </message>
    <message>
        <source>오류를 고르면 그 자리로 갑니다.</source>
        <translation>Choose an error to go to its place.</translation>
    </message>
    <message>
        <source>줄</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>요청</source>
        <translation>Request</translation>
    </message>
    <message>
        <source>응답</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>횟수</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>규칙에 오류가 있어 적용하지 않았습니다. 이전 규칙 %1개를 그대로 씁니다.</source>
        <translation>The rules have errors and were not applied. The %1 rules before stay in use.</translation>
    </message>
    <message>
        <source>규칙에 오류가 있어 적용하지 않았습니다.</source>
        <translation>The rules have errors and were not applied.</translation>
    </message>
    <message>
        <source>적용한 규칙이 없습니다.</source>
        <translation>No rules applied.</translation>
    </message>
    <message>
        <source>규칙 %1개로 응답합니다.</source>
        <translation>Answering by %1 rules.</translation>
    </message>
    <message>
        <source>규칙 %1개, 꺼져 있습니다.</source>
        <translation>%1 rules, switched off.</translation>
    </message>
    <message>
        <source>적용하지 않은 변경이 있습니다.</source>
        <translation>There are changes not applied.</translation>
    </message>
    <message>
        <source>기다리는 응답 %1개.</source>
        <translation>%1 replies waiting.</translation>
    </message>
    <message>
        <source>대기 한도(1 MiB)를 넘어 보내지 않은 응답 %1개.</source>
        <translation>%1 replies not sent: past the waiting limit (1 MiB).</translation>
    </message>
    <message>
        <source>규칙 파일을 읽지 못했습니다: %1
%2</source>
        <translation>Could not read the rule file: %1
%2</translation>
    </message>
    <message>
        <source>규칙 파일을 저장하지 못했습니다: %1</source>
        <translation>Could not save the rule file: %1</translation>
    </message>
</context>
<context>
    <name>CBridgeWindow</name>
    <message>
        <source>닫힘</source>
        <translation>closed</translation>
    </message>
    <message>
        <source>열림 (%1 접속)</source>
        <translation>open (%1 connected)</translation>
    </message>
    <message>
        <source>열림</source>
        <translation>open</translation>
    </message>
    <message>
        <source>연결 중</source>
        <translation>connecting</translation>
    </message>
    <message>
        <source>기다리는 중</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>A 설정...</source>
        <translation>Side A...</translation>
    </message>
    <message>
        <source>B 설정...</source>
        <translation>Side B...</translation>
    </message>
    <message>
        <source>시작</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>정지</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>지우기</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>시간 표시</source>
        <translation>Time Stamps</translation>
    </message>
    <message>
        <source>갈무리</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>재생...</source>
        <translation>Replay...</translation>
    </message>
    <message>
        <source>찾기</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>통신포트 설정 - %1</source>
        <translation>Port Settings - %1</translation>
    </message>
    <message>
        <source>이 종류의 링크는 열 수 없습니다.</source>
        <translation>A link of this kind cannot be opened.</translation>
    </message>
    <message>
        <source>브리지를 시작하지 못했습니다.
%1</source>
        <translation>The bridge did not start.
%1</translation>
    </message>
    <message>
        <source>%1: %2 전달, %3 전달 못함</source>
        <translation>%1: %2 forwarded, %3 not forwarded</translation>
    </message>
    <message>
        <source> (보류: %1 가득 참)</source>
        <translation> (held back: %1 is full)</translation>
    </message>
    <message>
        <source>갈무리 파일을 만들 수 없습니다.
%1</source>
        <translation>Cannot create the capture file.
%1</translation>
    </message>
    <message>
        <source>갈무리 저장파일 이름</source>
        <translation>Capture File Name</translation>
    </message>
    <message>
        <source>TARVEN Files (*.TVN)</source>
        <translation>TARVEN Files (*.TVN)</translation>
    </message>
    <message>
        <source>재생</source>
        <translation>Replay</translation>
    </message>
</context>
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
    <name>CCaptureSession</name>
    <message>
        <source>갈무리파일</source>
        <translation>Capture File</translation>
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
    <name>CCheckSumDlg</name>
    <message>
        <source>Check Sum 계산</source>
        <translation>Checksum Calculator</translation>
    </message>
    <message>
        <source>데이터 입력</source>
        <translation>Data Input</translation>
    </message>
    <message>
        <source>Check sum을 계산하기 위한 문자열을 입력합니다.</source>
        <translation>Enter the string to calculate the checksum of.</translation>
    </message>
    <message>
        <source>계산결과</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>문자열을 적당한 계산방식에 의하여 계산한후 결과값을 16진수,10진수, 아스키,2진수
형태로 표시합니다.</source>
        <translation>The string is calculated with the chosen method and the result is shown in hexadecimal, decimal, ASCII and binary.</translation>
    </message>
    <message>
        <source>계산방식</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>데이터를 각각 1바이트씩 아래형태로 연산합니다.</source>
        <translation>Each byte of the data is combined by the method below.</translation>
    </message>
    <message>
        <source>계산</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>입력된 문자열 데이터 형식에 오류가 있습니다.</source>
        <translation>The data string entered is not in a valid format.</translation>
    </message>
</context>
<context>
    <name>CClientSelector</name>
    <message>
        <source>입력, 명령, 파일을 보낼 클라이언트</source>
        <translation>The client that typed keys, commands and files go to</translation>
    </message>
    <message>
        <source>모든 클라이언트</source>
        <translation>All clients</translation>
    </message>
    <message>
        <source>클라이언트 %1</source>
        <translation>Clients: %1</translation>
    </message>
</context>
<context>
    <name>CCmdListDlg</name>
    <message>
        <source>전송하려는 데이타 형식에 오류가 있습니다.</source>
        <translation>The data to send is not in a valid format.</translation>
    </message>
    <message>
        <source>파일 저장에 실패하였습니다...</source>
        <translation>The file could not be saved.</translation>
    </message>
    <message>
        <source>명령 파일이 손상되었습니다: %1
%2</source>
        <translation>The command file is damaged: %1
%2</translation>
    </message>
    <message>
        <source>%1 파일이 이미 있습니다.
바꾸시겠습니까?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>반복 설정 파일이 손상되어 반복 설정 없이 불러왔습니다: %1
%2</source>
        <translation>The repeat settings file is damaged, so the list was loaded without repeats: %1
%2</translation>
    </message>
    <message>
        <source>반복 설정 파일 저장에 실패하였습니다: %1</source>
        <translation>The repeat settings file could not be saved: %1</translation>
    </message>
    <message>
        <source>전송 %1의 글자 중에 명령 파일에 쓸 수 없는 글자가 있어 저장하지 않았습니다.</source>
        <translation>Send %1 holds a character that a command file cannot store, so the file was not saved.</translation>
    </message>
    <message>
        <source>TARVEN Command Files (*.TCF *.tcf)</source>
        <translation>TARVEN Command Files (*.TCF *.tcf)</translation>
    </message>
    <message>
        <source>전송 %1의 &apos;%2&apos; 문자는 %3(으)로 보낼 수 없어 보내지 않았습니다.</source>
        <translation>Send %1 was not sent: %3 cannot hold the character &apos;%2&apos;.</translation>
    </message>
</context>
<context>
    <name>CCmdListGrid</name>
    <message>
        <source>리스트 불러오기</source>
        <translation>Load List...</translation>
    </message>
    <message>
        <source>리스트 저장하기</source>
        <translation>Save List...</translation>
    </message>
    <message>
        <source>리스트 전체 삭제</source>
        <translation>Clear List</translation>
    </message>
    <message>
        <source>전송열 추가</source>
        <translation>Add Row</translation>
    </message>
    <message>
        <source>전송열 삽입</source>
        <translation>Insert Row</translation>
    </message>
    <message>
        <source>전송열 삭제</source>
        <translation>Delete Row</translation>
    </message>
    <message>
        <source>순서 전송</source>
        <translation>Send in Order</translation>
    </message>
    <message>
        <source>반복 전송 모두 중지</source>
        <translation>Stop All Repeats</translation>
    </message>
    <message>
        <source>전송버튼</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>전송데이터</source>
        <translation>Data to Send</translation>
    </message>
    <message>
        <source>데이터 설명</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>반복(ms)</source>
        <translation>Repeat (ms)</translation>
    </message>
    <message>
        <source>전송 %1</source>
        <translation>Send %1</translation>
    </message>
</context>
<context>
    <name>CCommandActions</name>
    <message>
        <source>Tvn 새 파일(&amp;P)</source>
        <translation>New &amp;Monitor</translation>
    </message>
    <message>
        <source>Tvn 새 파일</source>
        <translation>New Monitor</translation>
    </message>
    <message>
        <source>새 통신 모니터 창을 엽니다.</source>
        <translation>Opens a new communication monitor window.</translation>
    </message>
    <message>
        <source>Script 새 파일(&amp;C)</source>
        <translation>New S&amp;cript</translation>
    </message>
    <message>
        <source>Script 새 파일</source>
        <translation>New Script</translation>
    </message>
    <message>
        <source>새 스크립트 파일을 만듭니다.</source>
        <translation>Creates a new script file.</translation>
    </message>
    <message>
        <source>열기(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>기존 파일을 엽니다.</source>
        <translation>Opens an existing file.</translation>
    </message>
    <message>
        <source>저장(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>저장</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>스크립트 파일을 저장합니다.</source>
        <translation>Saves the script file.</translation>
    </message>
    <message>
        <source>다른 이름으로 저장(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>다른 이름으로 저장</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>스크립트 파일을 새 이름으로 저장합니다.</source>
        <translation>Saves the script file under a new name.</translation>
    </message>
    <message>
        <source>닫기(&amp;C)</source>
        <translation>C&amp;lose</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>활성 창을 닫습니다.</source>
        <translation>Closes the active window.</translation>
    </message>
    <message>
        <source>인쇄</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>화면의 내용을 인쇄합니다.</source>
        <translation>Prints the contents of the screen.</translation>
    </message>
    <message>
        <source>끝내기(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>끝내기</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>프로그램을 끝냅니다.</source>
        <translation>Quits the program.</translation>
    </message>
    <message>
        <source>TARVEN 정보(&amp;A)...</source>
        <translation>&amp;About TARVEN...</translation>
    </message>
    <message>
        <source>TARVEN 정보</source>
        <translation>About TARVEN</translation>
    </message>
    <message>
        <source>프로그램 정보를 표시합니다.</source>
        <translation>Shows information about the program.</translation>
    </message>
    <message>
        <source>실행 취소(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>실행 취소</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>마지막 작업을 취소합니다.</source>
        <translation>Undoes the last action.</translation>
    </message>
    <message>
        <source>다시 실행(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>다시 실행</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>취소한 작업을 다시 실행합니다.</source>
        <translation>Redoes the action that was undone.</translation>
    </message>
    <message>
        <source>잘라내기(&amp;X)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>잘라내기</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>선택 영역을 잘라내어 클립보드에 넣습니다.</source>
        <translation>Cuts the selection and puts it on the clipboard.</translation>
    </message>
    <message>
        <source>복사(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>복사</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>선택 영역을 복사하여 클립보드에 넣습니다.</source>
        <translation>Copies the selection to the clipboard.</translation>
    </message>
    <message>
        <source>붙여넣기(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>붙여넣기</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>클립보드의 내용을 붙여넣습니다.</source>
        <translation>Inserts the contents of the clipboard.</translation>
    </message>
    <message>
        <source>선택부분 지우기</source>
        <translation>Delete Selection</translation>
    </message>
    <message>
        <source>선택 영역을 지웁니다.</source>
        <translation>Deletes the selection.</translation>
    </message>
    <message>
        <source>전체 지우기</source>
        <translation>Delete All</translation>
    </message>
    <message>
        <source>스크립트를 모두 지웁니다.</source>
        <translation>Deletes the whole script.</translation>
    </message>
    <message>
        <source>문자열 찾기</source>
        <translation>Find Text</translation>
    </message>
    <message>
        <source>문자열을 찾습니다.</source>
        <translation>Finds text.</translation>
    </message>
    <message>
        <source>문자열 바꾸기</source>
        <translation>Replace Text</translation>
    </message>
    <message>
        <source>문자열을 찾아 바꿉니다.</source>
        <translation>Finds text and replaces it.</translation>
    </message>
    <message>
        <source>포트열기(Connect..)</source>
        <translation>Open Port (Connect)</translation>
    </message>
    <message>
        <source>포트열기</source>
        <translation>Open Port</translation>
    </message>
    <message>
        <source>포트를 엽니다.</source>
        <translation>Opens the port.</translation>
    </message>
    <message>
        <source>포트닫기(Disconnect..)</source>
        <translation>Close Port (Disconnect)</translation>
    </message>
    <message>
        <source>포트닫기</source>
        <translation>Close Port</translation>
    </message>
    <message>
        <source>포트를 닫습니다.</source>
        <translation>Closes the port.</translation>
    </message>
    <message>
        <source>포트설정</source>
        <translation>Port Settings</translation>
    </message>
    <message>
        <source>포트를 설정합니다.</source>
        <translation>Sets up the port.</translation>
    </message>
    <message>
        <source>화면지우기</source>
        <translation>Clear Screen</translation>
    </message>
    <message>
        <source>화면을 지웁니다.</source>
        <translation>Clears the screen.</translation>
    </message>
    <message>
        <source>수신멈춤(Pause)</source>
        <translation>Pause Receiving</translation>
    </message>
    <message>
        <source>수신멈춤</source>
        <translation>Pause Receiving</translation>
    </message>
    <message>
        <source>수신 화면을 멈추거나 다시 시작합니다.</source>
        <translation>Pauses or resumes the display of received data.</translation>
    </message>
    <message>
        <source>갈무리</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>갈무리를 시작하거나 끝냅니다.</source>
        <translation>Starts or ends a capture.</translation>
    </message>
    <message>
        <source>갈무리 파일보기</source>
        <translation>View Capture File</translation>
    </message>
    <message>
        <source>갈무리 파일을 봅니다.</source>
        <translation>Shows a capture file.</translation>
    </message>
    <message>
        <source>ASCII(문자) 표시</source>
        <translation>ASCII (Text) View</translation>
    </message>
    <message>
        <source>ASCII 표시</source>
        <translation>ASCII View</translation>
    </message>
    <message>
        <source>수신 내용을 문자로 표시합니다.</source>
        <translation>Shows received data as text.</translation>
    </message>
    <message>
        <source>HEX(16진수) 표시</source>
        <translation>HEX (Hexadecimal) View</translation>
    </message>
    <message>
        <source>HEX 표시</source>
        <translation>HEX View</translation>
    </message>
    <message>
        <source>수신 내용을 16진수로 표시합니다.</source>
        <translation>Shows received data in hexadecimal.</translation>
    </message>
    <message>
        <source>제어문자 표시</source>
        <translation>Show Control Characters</translation>
    </message>
    <message>
        <source>제어문자를 표시합니다.</source>
        <translation>Shows control characters.</translation>
    </message>
    <message>
        <source>파일전송</source>
        <translation>File Transfer</translation>
    </message>
    <message>
        <source>파일을 전송합니다.</source>
        <translation>Sends a file.</translation>
    </message>
    <message>
        <source>Check Sum 계산</source>
        <translation>Checksum Calculator</translation>
    </message>
    <message>
        <source>CHECKSUM 연산을 합니다.</source>
        <translation>Calculates a checksum.</translation>
    </message>
    <message>
        <source>제어코드창</source>
        <translation>Control Code Panel</translation>
    </message>
    <message>
        <source>제어코드창을 보이거나 숨깁니다.</source>
        <translation>Shows or hides the control code panel.</translation>
    </message>
    <message>
        <source>선택한 내용을 클립보드에 복사합니다.</source>
        <translation>Copies the selection to the clipboard.</translation>
    </message>
    <message>
        <source>DTR</source>
        <translation>DTR</translation>
    </message>
    <message>
        <source>DTR 신호를 켜거나 끕니다.</source>
        <translation>Turns the DTR signal on or off.</translation>
    </message>
    <message>
        <source>RTS</source>
        <translation>RTS</translation>
    </message>
    <message>
        <source>RTS 신호를 켜거나 끕니다.</source>
        <translation>Turns the RTS signal on or off.</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Break</translation>
    </message>
    <message>
        <source>Break 신호를 250 ms 동안 보냅니다.</source>
        <translation>Sends a break signal for 250 ms.</translation>
    </message>
    <message>
        <source>시간 표시</source>
        <translation>Time Stamps</translation>
    </message>
    <message>
        <source>수신한 데이터가 도착한 시각을 표시합니다.</source>
        <translation>Shows the time at which received data arrived.</translation>
    </message>
    <message>
        <source>찾기...</source>
        <translation>Find...</translation>
    </message>
    <message>
        <source>찾기</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>모니터 창의 내용에서 문자열이나 바이트를 찾습니다.</source>
        <translation>Finds text or bytes in the contents of the monitor window.</translation>
    </message>
    <message>
        <source>다음 찾기</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>다음으로 일치하는 곳을 찾습니다.</source>
        <translation>Finds the next match.</translation>
    </message>
    <message>
        <source>이전 찾기</source>
        <translation>Find Previous</translation>
    </message>
    <message>
        <source>이전에 일치하는 곳을 찾습니다.</source>
        <translation>Finds the previous match.</translation>
    </message>
    <message>
        <source>재생</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>보고 있는 갈무리 파일을 새 창에서 기록된 속도로 재생합니다.</source>
        <translation>Replays the capture file shown in a new window, at its recorded pace.</translation>
    </message>
    <message>
        <source>스크립트 실행(Run)</source>
        <translation>Run Script</translation>
    </message>
    <message>
        <source>스크립트 실행</source>
        <translation>Run Script</translation>
    </message>
    <message>
        <source>스크립트를 실행합니다.</source>
        <translation>Runs the script.</translation>
    </message>
    <message>
        <source>스크립트 중지(Stop)</source>
        <translation>Stop Script</translation>
    </message>
    <message>
        <source>스크립트 중지</source>
        <translation>Stop Script</translation>
    </message>
    <message>
        <source>실행 중인 스크립트를 멈춥니다.</source>
        <translation>Stops the running script.</translation>
    </message>
    <message>
        <source>스크립트 문법검사</source>
        <translation>Check Script Syntax</translation>
    </message>
    <message>
        <source>스크립트의 문법을 검사합니다.</source>
        <translation>Checks the syntax of the script.</translation>
    </message>
    <message>
        <source>스크립트 실행창</source>
        <translation>Script Run Window</translation>
    </message>
    <message>
        <source>스크립트 실행창을 보이거나 숨깁니다.</source>
        <translation>Shows or hides the script run window.</translation>
    </message>
    <message>
        <source>환경설정</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>TARVEN 환경을 설정합니다.</source>
        <translation>Sets up the TARVEN environment.</translation>
    </message>
    <message>
        <source>TARVEN 운영 도움말</source>
        <translation>TARVEN Help</translation>
    </message>
    <message>
        <source>사용 설명서를 엽니다.</source>
        <translation>Opens the user manual.</translation>
    </message>
    <message>
        <source>계단식 배열(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>계단식 배열</source>
        <translation>Cascade</translation>
    </message>
    <message>
        <source>창을 겹쳐서 배열합니다.</source>
        <translation>Arranges the windows so that they overlap.</translation>
    </message>
    <message>
        <source>바둑판식 배열(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>바둑판식 배열</source>
        <translation>Tile</translation>
    </message>
    <message>
        <source>창을 겹치지 않게 배열합니다.</source>
        <translation>Arranges the windows so that they do not overlap.</translation>
    </message>
    <message>
        <source>계속 실행(Continue)</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>계속 실행</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>멈춘 스크립트를 계속 실행합니다. 실행 중이 아니면 실행을 시작합니다.</source>
        <translation>Lets the stopped script run on. When no script runs, starts one.</translation>
    </message>
    <message>
        <source>한 명령 실행(Step)</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>한 명령 실행</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>멈춘 스크립트의 명령 하나를 실행하고 다시 멈춥니다. 실행 중이 아니면 첫 명령 앞에서 멈춥니다.</source>
        <translation>Runs one command of the stopped script and stops again. When no script runs, starts one stopped before its first command.</translation>
    </message>
    <message>
        <source>중단점 설정/해제</source>
        <translation>Toggle breakpoint</translation>
    </message>
    <message>
        <source>커서가 있는 줄에 중단점을 두거나 없앱니다.</source>
        <translation>Sets or removes a breakpoint on the caret&apos;s line.</translation>
    </message>
    <message>
        <source>그래프</source>
        <translation>Graph</translation>
    </message>
    <message>
        <source>수신한 줄의 숫자를 모니터 창 옆에 그래프로 그립니다.</source>
        <translation>Plots the numbers of received lines beside the monitor.</translation>
    </message>
    <message>
        <source>자동 응답</source>
        <translation>Auto Reply</translation>
    </message>
    <message>
        <source>받은 요청에 규칙대로 응답하는 창을 모니터 창 옆에 엽니다.</source>
        <translation>Opens a panel beside the monitor that answers received requests by rules.</translation>
    </message>
    <message>
        <source>브리지/탭...</source>
        <translation>Bridge/Tap...</translation>
    </message>
    <message>
        <source>브리지/탭</source>
        <translation>Bridge/Tap</translation>
    </message>
    <message>
        <source>두 링크를 이어 오가는 데이터를 전달하고 보여줍니다.</source>
        <translation>Joins two links, forwarding and showing the data between them.</translation>
    </message>
    <message>
        <source>내보내기...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>내보내기</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>화면의 통신 내용(선택 영역이 있으면 그 부분)을 텍스트, 헥사 덤프, CSV로 저장합니다.</source>
        <translation>Saves the traffic held in the window (the selection, if there is one) as text, a hex dump or CSV.</translation>
    </message>
    <message>
        <source>송신 입력줄</source>
        <translation>Send Line</translation>
    </message>
    <message>
        <source>모니터 창 아래에 한 줄을 써서 Enter로 보내는 입력줄을 보이거나 숨깁니다.</source>
        <translation>Shows or hides the line under the monitor where a whole line is written and sent with Enter.</translation>
    </message>
</context>
<context>
    <name>CEnvSettingsDlg</name>
    <message>
        <source>TEXT 전경</source>
        <translation>Text foreground</translation>
    </message>
    <message>
        <source>TEXT 배경</source>
        <translation>Text background</translation>
    </message>
    <message>
        <source>제어문자 전경</source>
        <translation>Control character foreground</translation>
    </message>
    <message>
        <source>제어문자 배경</source>
        <translation>Control character background</translation>
    </message>
    <message>
        <source>TARVEN 바탕색</source>
        <translation>TARVEN background</translation>
    </message>
    <message>
        <source>자동</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>TARVEN 환경설정</source>
        <translation>TARVEN Settings</translation>
    </message>
    <message>
        <source>송신문자 Echo기능</source>
        <translation>Echo sent characters</translation>
    </message>
    <message>
        <source>최대 라인버퍼 크기</source>
        <translation>Maximum line buffer size</translation>
    </message>
    <message>
        <source>갈무리 파일 자동설정</source>
        <translation>Name capture files automatically</translation>
    </message>
    <message>
        <source>NULL 문자수신 표시</source>
        <translation>Show received NUL characters</translation>
    </message>
    <message>
        <source>수신문자 인코딩</source>
        <translation>Received text encoding</translation>
    </message>
    <message>
        <source>송신문자색상</source>
        <translation>Sent Text Colors</translation>
    </message>
    <message>
        <source>수신문자색상</source>
        <translation>Received Text Colors</translation>
    </message>
    <message>
        <source>최대 라인버퍼 크기는 %1에서 %2 사이의 정수를 입력하십시오.</source>
        <translation>Enter a whole number from %1 to %2 for the maximum line buffer size.</translation>
    </message>
    <message>
        <source>언어</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>시스템 설정에 따름</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>화면과 스크립트 메시지의 언어입니다. TARVEN을 다시 시작하면 바뀝니다.</source>
        <translation>The language of the windows and of script messages. It changes when TARVEN starts again.</translation>
    </message>
</context>
<context>
    <name>CFileSendDlg</name>
    <message>
        <source>All files (*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>Binary files (*.bin)</source>
        <translation>Binary files (*.bin)</translation>
    </message>
    <message>
        <source>Intel HEX files (*.hex)</source>
        <translation>Intel HEX files (*.hex)</translation>
    </message>
    <message>
        <source>Motorola S-record files (*.s19 *.srec *.mot)</source>
        <translation>Motorola S-record files (*.s19 *.srec *.mot)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>지금 전송중입니다. 잠시만 기다려 주십시요..</source>
        <translation>A file is being sent. Please wait...</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일을 전송하시겠습니까?</source>
        <translation>Send the file &apos;%1&apos;?</translation>
    </message>
    <message>
        <source>파일을 찾을수가 없습니다 !!</source>
        <translation>The file cannot be found!</translation>
    </message>
    <message>
        <source>전송이 완료되었습니다.</source>
        <translation>The transfer is complete.</translation>
    </message>
    <message>
        <source>전송이 취소 되었습니다 !!!.</source>
        <translation>The transfer was cancelled!</translation>
    </message>
    <message>
        <source>파일전송에 실패했습니다 !!
%1
(%2 / %3 Bytes 전송)</source>
        <translation>The file transfer failed!
%1
(%2 / %3 bytes sent)</translation>
    </message>
    <message>
        <source>%1 / %2 Bytes</source>
        <translation>%1 / %2 bytes</translation>
    </message>
    <message>
        <source>전송 대기중... (%1 Bytes 남음)</source>
        <translation>Waiting to send... (%1 bytes left)</translation>
    </message>
    <message>
        <source>일반 파일만 전송할 수 있습니다.
%1</source>
        <translation>Only regular files can be sent.
%1</translation>
    </message>
    <message>
        <source>경로를 찾을 수 없습니다.
%1</source>
        <translation>The path cannot be found.
%1</translation>
    </message>
    <message>
        <source>파일을 읽을 수 없습니다.</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>상대편이 %1초 동안 데이터를 받지 않았습니다.</source>
        <translation>The peer took no data for %1 seconds.</translation>
    </message>
    <message>
        <source>상대편이 연결을 끊었습니다.</source>
        <translation>The peer closed the connection.</translation>
    </message>
    <message>
        <source>링크가 닫혔습니다.</source>
        <translation>The link was closed.</translation>
    </message>
    <message>
        <source>연결된 상대편이 없습니다.</source>
        <translation>No peer is connected.</translation>
    </message>
    <message>
        <source>장치와의 연결이 끊어졌습니다.</source>
        <translation>The connection to the device was lost.</translation>
    </message>
    <message>
        <source>파일전송</source>
        <translation>File Transfer</translation>
    </message>
    <message>
        <source>드라이브</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>폴더나 파일의 경로를 입력하고 Enter를 누르십시오.</source>
        <translation>Type the path of a folder or a file and press Enter.</translation>
    </message>
    <message>
        <source>경로</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>파일경로</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>파일이름</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>파일크기</source>
        <translation>File size</translation>
    </message>
    <message>
        <source>전송진행</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>전송</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>전송취소</source>
        <translation>Cancel Sending</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>장치나 파이프는 전송할 수 없습니다.</source>
        <translation>Devices and pipes cannot be sent.</translation>
    </message>
    <message>
        <source>없음(일반)</source>
        <translation>None (plain)</translation>
    </message>
    <message>
        <source>%1(으)로 &apos;%2&apos; 폴더에 파일을 받으시겠습니까?</source>
        <translation>Receive files by %1 into the folder &apos;%2&apos;?</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 덮어쓰시겠습니까?</source>
        <translation>The file &apos;%1&apos; exists already. Overwrite it?</translation>
    </message>
    <message>
        <source>파일을 받았습니다.
%1</source>
        <translation>Files received.
%1</translation>
    </message>
    <message>
        <source>%1 Bytes, %2 KB/s</source>
        <translation>%1 Bytes, %2 KB/s</translation>
    </message>
    <message>
        <source>%1 / %2 Bytes, %3 KB/s</source>
        <translation>%1 / %2 Bytes, %3 KB/s</translation>
    </message>
    <message>
        <source>보내기</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>받기</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>흐름 제어가 없는 장치를 위한 일반 전송의 지연 (0 = 없음)</source>
        <translation>Pauses of a plain send, for devices without flow control (0 = none)</translation>
    </message>
    <message>
        <source>프로토콜</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>방향</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>줄 지연</source>
        <translation>Line delay</translation>
    </message>
    <message>
        <source>바이트 지연</source>
        <translation>Byte delay</translation>
    </message>
    <message>
        <source>%1 보내기 &apos;%2&apos;</source>
        <translation>%1 send &apos;%2&apos;</translation>
    </message>
    <message>
        <source>받을 파일 이름:</source>
        <translation>Name of the file to receive:</translation>
    </message>
    <message>
        <source>%1 받기 &apos;%2&apos;</source>
        <translation>%1 receive &apos;%2&apos;</translation>
    </message>
    <message>
        <source>파일 전송 시작: %1</source>
        <translation>File transfer started: %1</translation>
    </message>
    <message>
        <source>완료</source>
        <translation>done</translation>
    </message>
    <message>
        <source>실패</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>파일 전송 끝: %1 - %2 (보냄 %3, 받음 %4 Bytes)</source>
        <translation>File transfer ended: %1 - %2 (sent %3, received %4 Bytes)</translation>
    </message>
    <message>
        <source>전송 프로그램이 받은 데이터를 읽지 않습니다.</source>
        <translation>The transfer program does not read the data received.</translation>
    </message>
    <message>
        <source>전송 프로그램이 오류로 끝났습니다.</source>
        <translation>The transfer program ended with an error.</translation>
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
    <name>CFindDlg</name>
    <message>
        <source>문자열 찾기</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>다음 찾기(&amp;F)</source>
        <translation>&amp;Next match</translation>
    </message>
    <message>
        <source>이전 찾기(&amp;B)</source>
        <translation>&amp;Previous match</translation>
    </message>
    <message>
        <source>대/소문자 구분(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>단어 단위로(&amp;W)</source>
        <translation>Match &amp;whole words only</translation>
    </message>
    <message>
        <source>정규식(&amp;E)</source>
        <translation>Regular &amp;expressions</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>찾을 내용(&amp;N):</source>
        <translation>F&amp;ind what:</translation>
    </message>
</context>
<context>
    <name>CFindReplaceDlg</name>
    <message>
        <source>문자열 바꾸기</source>
        <translation>Search and replace</translation>
    </message>
    <message>
        <source>선택 영역에서만(&amp;S)</source>
        <translation>Replace in &amp;selection only</translation>
    </message>
    <message>
        <source>바꾸기(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>모두 바꾸기(&amp;A)</source>
        <translation>Replace &amp;All</translation>
    </message>
    <message>
        <source>바꿀 내용(&amp;P):</source>
        <translation>Replace wit&amp;h:</translation>
    </message>
    <message>
        <source>찾은 %1개를 빈 문자열로 바꾸시겠습니까?</source>
        <translation>Matches found: %1. Replace them with an empty string?</translation>
    </message>
    <message>
        <source>%1개를 바꿨습니다</source>
        <translation>%1 replaced</translation>
    </message>
</context>
<context>
    <name>CHelpWindow</name>
    <message>
        <source>TARVEN 운영 도움말</source>
        <translation>TARVEN Help</translation>
    </message>
</context>
<context>
    <name>CLineSignals</name>
    <message>
        <source>지원되지 않음</source>
        <translation>Not supported</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>TARVEN 통신 모니터</source>
        <translation>TARVEN Communication Monitor</translation>
    </message>
    <message>
        <source>도구 모음</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>스크립트 출력창</source>
        <translation>Script Output</translation>
    </message>
    <message>
        <source>송신 메세지창</source>
        <translation>Command List</translation>
    </message>
    <message>
        <source>파일(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>도구 모음(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>상태 표시줄(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>송신메세지 창</source>
        <translation>Command List</translation>
    </message>
    <message>
        <source>SCRIPT 출력창</source>
        <translation>Script Output</translation>
    </message>
    <message>
        <source>보기(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>창(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>도움말(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>TVN(&amp;T)</source>
        <translation>&amp;Monitor</translation>
    </message>
    <message>
        <source>편집(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>SCRIPT</source>
        <translation>&amp;Script</translation>
    </message>
    <message>
        <source>사용 설명서를 찾을 수 없습니다.</source>
        <translation>The user manual cannot be found.</translation>
    </message>
    <message>
        <source>언어는 TARVEN을 다시 시작하면 바뀝니다.</source>
        <translation>The language changes when TARVEN starts again.</translation>
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
    <message>
        <source>환영 메시지에 %1(으)로 보낼 수 없는 문자가 있어 보내지 않았습니다.</source>
        <translation>The welcome message was not sent: it holds a character %1 cannot hold.</translation>
    </message>
    <message>
        <source>%1에 보내지 못한 바이트: %2 ...</source>
        <translation>%2 bytes not sent to %1 ...</translation>
    </message>
    <message>
        <source>%1에 보내지 못한 바이트: %2 (쓰기 시간초과) ...</source>
        <translation>%2 bytes not sent to %1 (write timed out) ...</translation>
    </message>
    <message>
        <source>다른 송신자의 데이터그램 %1개를 무시했습니다 ...</source>
        <translation>Ignored %1 datagrams from other senders ...</translation>
    </message>
    <message>
        <source>접속 가능한 클라이언트 수(%1)를 넘었습니다</source>
        <translation>More clients than the %1 that may connect</translation>
    </message>
    <message>
        <source>연결이 거부되었습니다 (그 포트에서 기다리는 서버가 없습니다).</source>
        <translation>Connection refused (no server is waiting on that port).</translation>
    </message>
    <message>
        <source>호스트를 찾을 수 없습니다.</source>
        <translation>Host not found.</translation>
    </message>
    <message>
        <source>응답이 없습니다.</source>
        <translation>No answer.</translation>
    </message>
    <message>
        <source>네트워크에 연결할 수 없습니다.</source>
        <translation>Network unreachable.</translation>
    </message>
    <message>
        <source>응답이 없습니다 (%1초).</source>
        <translation>No answer (%1 s).</translation>
    </message>
    <message>
        <source>선택한 클라이언트 [%1]이(가) 나가서 모든 클라이언트로 보냅니다 ...</source>
        <translation>The chosen client [%1] left; sending to all clients ...</translation>
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
</context>
<context>
    <name>CPaneIndicator</name>
    <message>
        <source>클릭하면 포트설정을 엽니다.</source>
        <translation>Click to open the port settings.</translation>
    </message>
</context>
<context>
    <name>CPlotPanel</name>
    <message>
        <source>%L1 샘플</source>
        <translation>%L1 samples</translation>
    </message>
    <message>
        <source>%1초</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1분</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1시간</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>숫자, 이름=값</source>
        <translation>Values, name=value</translation>
    </message>
    <message>
        <source>정규식</source>
        <translation>Regular expression</translation>
    </message>
    <message>
        <source>한 줄의 숫자를 읽는 방법: 쉼표·빈칸·탭으로 나눈 값과 이름=값, 이름:값 쌍, 또는 정규식의 괄호로 묶은 부분</source>
        <translation>How numbers are read from a line: values separated by commas, blanks or tabs and name=value or name:value pairs, or the groups of a regular expression</translation>
    </message>
    <message>
        <source>예: T=([-0-9.]+)C H=([0-9.]+)%</source>
        <translation>e.g. T=([-0-9.]+)C H=([0-9.]+)%</translation>
    </message>
    <message>
        <source>Enter로 적용합니다. 괄호로 묶은 부분마다 계열이 하나 생기고, (?&lt;이름&gt;...)은 계열에 이름을 줍니다.</source>
        <translation>Enter applies it. Each group in parentheses makes a series; (?&lt;name&gt;...) names it.</translation>
    </message>
    <message>
        <source>따라가는 동안 보이는 구간: 시간 또는 샘플 수</source>
        <translation>The span shown while following: a time or a number of samples</translation>
    </message>
    <message>
        <source>멈춤</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>샘플 받기를 멈추거나 다시 시작합니다 (Space).</source>
        <translation>Stops or resumes taking samples (Space).</translation>
    </message>
    <message>
        <source>자동 맞춤</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>가장 새 데이터를 따라가며 값 축을 데이터에 맞춥니다 (Home).</source>
        <translation>Follows the newest data and fits the value axis to it (Home).</translation>
    </message>
    <message>
        <source>지우기</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>받은 샘플을 모두 지웁니다.</source>
        <translation>Clears all samples.</translation>
    </message>
    <message>
        <source>PNG...</source>
        <translation>PNG...</translation>
    </message>
    <message>
        <source>보이는 그래프를 PNG 그림 파일로 저장합니다.</source>
        <translation>Saves the graph as shown as a PNG picture.</translation>
    </message>
    <message>
        <source>CSV...</source>
        <translation>CSV...</translation>
    </message>
    <message>
        <source>가진 샘플을 모두 CSV 파일로 저장합니다.</source>
        <translation>Saves all samples held as a CSV file.</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>그래프 창을 닫습니다.</source>
        <translation>Closes the graph.</translation>
    </message>
    <message>
        <source>정규식을 적고 Enter를 누르십시오.</source>
        <translation>Type a regular expression and press Enter.</translation>
    </message>
    <message>
        <source>정규식 오류: %1</source>
        <translation>Regular expression error: %1</translation>
    </message>
    <message>
        <source>정규식에 괄호로 묶은 부분이 없습니다.</source>
        <translation>The regular expression has no group in parentheses.</translation>
    </message>
    <message>
        <source>시간 (초)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>샘플 번호</source>
        <translation>Sample number</translation>
    </message>
    <message>
        <source>숫자가 든 줄을 기다립니다.</source>
        <translation>Waiting for lines with numbers.</translation>
    </message>
    <message>
        <source>계열 %1, 샘플 %L2</source>
        <translation>%1 series, %L2 samples</translation>
    </message>
    <message>
        <source>4 KiB 넘는 줄 %L1개 버림</source>
        <translation>%L1 lines over 4 KiB dropped</translation>
    </message>
    <message>
        <source>계열 %1개를 넘는 값 %L2개 버림</source>
        <translation>%L2 values beyond %1 series dropped</translation>
    </message>
    <message>
        <source>정규식이 느려 건너뛴 줄 %L1개</source>
        <translation>%L1 lines skipped: the regular expression is too slow</translation>
    </message>
    <message>
        <source>%1
파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>%1
The file exists. Replace it?</translation>
    </message>
    <message>
        <source>PNG 그림 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>CSV 파일 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>파일을 저장할 수 없습니다.
%1
%2</source>
        <translation>The file cannot be saved.
%1
%2</translation>
    </message>
</context>
<context>
    <name>CPortSettingsDlg</name>
    <message>
        <source>루프백</source>
        <translation>Loopback</translation>
    </message>
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
    <name>CProtocolTransfer</name>
    <message>
        <source>&apos;%1&apos; 프로그램을 찾을 수 없습니다.
%2 패키지를 설치하십시오 (sudo apt install %2).</source>
        <translation>The program &apos;%1&apos; was not found.
Install the package %2 (sudo apt install %2).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 프로그램을 시작할 수 없습니다.
%2</source>
        <translation>The program &apos;%1&apos; could not be started.
%2</translation>
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
    <message>
        <source>길이 읽는 중 %p%</source>
        <translation>Reading the length %p%</translation>
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
    <name>CScriptDebugPane</name>
    <message>
        <source>변수</source>
        <translation>Variables</translation>
    </message>
    <message>
        <source>이름</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>종류</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>값</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>수신 바이트</source>
        <translation>Received bytes</translation>
    </message>
    <message>
        <source>%1행에서 멈춤: %2</source>
        <translation>Stopped at line %1: %2</translation>
    </message>
    <message>
        <source>CMP 플래그: %1</source>
        <translation>CMP flags: %1</translation>
    </message>
    <message>
        <source>%1 바이트</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>두 번 눌러 값을 바꿉니다.</source>
        <translation>Double-click to change the value.</translation>
    </message>
    <message>
        <source>%1개는 보이지 않습니다.</source>
        <translation>%1 more not shown.</translation>
    </message>
    <message>
        <source>실행 중입니다. 중단점에서 멈추면 그때의 값을 보여 줍니다.</source>
        <translation>Running. The values are shown when the script stops at a breakpoint.</translation>
    </message>
    <message>
        <source>실행이 끝났습니다. %1행에서 멈췄을 때의 값입니다.</source>
        <translation>The run has ended. These are the values when it stopped at line %1.</translation>
    </message>
    <message>
        <source>실행이 끝났습니다.</source>
        <translation>The run has ended.</translation>
    </message>
    <message>
        <source>&apos;%1&apos;은(는) 숫자가 아닙니다. 값은 그대로입니다.</source>
        <translation>&apos;%1&apos; is not a number. The value stays as it was.</translation>
    </message>
</context>
<context>
    <name>CScriptEditDoc</name>
    <message>
        <source>&apos;%1&apos; 파일을 저장할 수 없습니다.
%2</source>
        <translation>The file &apos;%1&apos; cannot be saved.
%2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 CP949로 저장되는데, %2번째 줄의 &apos;%3&apos; 문자는 CP949로 저장할 수 없습니다.
UTF-8로 저장하시겠습니까? 취소하면 저장하지 않습니다.</source>
        <translation>The file &apos;%1&apos; is saved in CP949, but the character &apos;%3&apos; on line %2 cannot be stored in CP949.
Save the file in UTF-8 instead? Cancel does not save it.</translation>
    </message>
    <message>
        <source>다른 이름으로 저장</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>제목 없음</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일의 변경 내용을 저장하시겠습니까?</source>
        <translation>Save the changes to &apos;%1&apos;?</translation>
    </message>
    <message>
        <source>TARVEN Script Files (*.TSL *.tsl *.Tsl)</source>
        <translation>TARVEN Script Files (*.TSL *.tsl *.Tsl)</translation>
    </message>
</context>
<context>
    <name>CScriptEditView</name>
    <message>
        <source>Compiling...</source>
        <translation>Compiling...</translation>
    </message>
    <message>
        <source>Complete Compile...</source>
        <translation>Complete Compile...</translation>
    </message>
    <message>
        <source>Running...</source>
        <translation>Running...</translation>
    </message>
    <message>
        <source>스크립트를 임시 파일에 저장할 수 없습니다.
%1</source>
        <translation>The script cannot be saved to a temporary file.
%1</translation>
    </message>
    <message>
        <source>Failure Compile...</source>
        <translation>Failure Compile...</translation>
    </message>
    <message>
        <source>Stopped...</source>
        <translation>Stopped...</translation>
    </message>
    <message>
        <source>%1번째 줄의 &apos;%2&apos; 문자는 CP949로 나타낼 수 없어 스크립트를 실행하지 않습니다.</source>
        <translation>The script was not run: CP949 cannot hold the character &apos;%2&apos; on line %1.</translation>
    </message>
</context>
<context>
    <name>CScriptStatusBar</name>
    <message>
        <source>실행대기</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>실행중</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>열: %1, 행: %2</source>
        <translation>Col: %1, Ln: %2</translation>
    </message>
    <message>
        <source>멈춤</source>
        <translation>Paused</translation>
    </message>
</context>
<context>
    <name>CScriptWatchDlg</name>
    <message>
        <source>%1-스크립트 실행창</source>
        <translation>%1 - Script Run Window</translation>
    </message>
    <message>
        <source>ASCII(문자) 표시</source>
        <translation>ASCII (Text) View</translation>
    </message>
    <message>
        <source>HEX(16진수) 표시</source>
        <translation>HEX (Hexadecimal) View</translation>
    </message>
    <message>
        <source>제어문자 표시</source>
        <translation>Show Control Characters</translation>
    </message>
    <message>
        <source>화면지우기	Ctrl + C</source>
        <translation>Clear Screen	Ctrl + C</translation>
    </message>
</context>
<context>
    <name>CSendLine</name>
    <message>
        <source>보내기</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>텍스트</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>입력줄을 글자로 읽을지 16진수로 읽을지 고릅니다.</source>
        <translation>Chooses whether the line is read as text or as hex.</translation>
    </message>
    <message>
        <source>없음</source>
        <translation>None</translation>
    </message>
    <message>
        <source>보낼 때 줄 끝에 붙일 문자</source>
        <translation>What is added at the end of the line when it is sent</translation>
    </message>
    <message>
        <source>입력줄에는 %1자까지만 들어갑니다.</source>
        <translation>The line holds at most %1 characters.</translation>
    </message>
    <message>
        <source>16진수: 01 03 00 00 00 0A &lt;CRC16&gt;</source>
        <translation>Hex: 01 03 00 00 00 0A &lt;CRC16&gt;</translation>
    </message>
    <message>
        <source>텍스트: AT&lt;0D&gt;, 괄호는 &lt;&lt; &gt;&gt;, 체크섬 &lt;CRC16&gt;</source>
        <translation>Text: AT&lt;0D&gt;, brackets as &lt;&lt; &gt;&gt;, checksum &lt;CRC16&gt;</translation>
    </message>
    <message>
        <source>바이트마다 16진수 두 자리를 씁니다(띄어쓰기는 자유). &lt;CRC16&gt; &lt;CRC16CCITT&gt; &lt;CRC32&gt; &lt;SUM8&gt; &lt;XOR8&gt; &lt;LRC&gt;는 앞의 바이트들의 체크섬을 붙입니다.</source>
        <translation>Two hex digits for each byte (spaces are optional). &lt;CRC16&gt; &lt;CRC16CCITT&gt; &lt;CRC32&gt; &lt;SUM8&gt; &lt;XOR8&gt; &lt;LRC&gt; append the checksum of the bytes before them.</translation>
    </message>
    <message>
        <source>글자는 창의 인코딩으로 나갑니다. &lt;0D&gt;처럼 꺾쇠 안의 16진수 두 자리는 그 바이트, &lt;&lt; 와 &gt;&gt; 는 꺾쇠 자체, &lt;CRC16&gt; &lt;CRC16CCITT&gt; &lt;CRC32&gt; &lt;SUM8&gt; &lt;XOR8&gt; &lt;LRC&gt;는 앞의 바이트들의 체크섬입니다.</source>
        <translation>Characters go out in the window&apos;s encoding. Two hex digits in angle brackets such as &lt;0D&gt; are that byte, &lt;&lt; and &gt;&gt; the brackets themselves, and &lt;CRC16&gt; &lt;CRC16CCITT&gt; &lt;CRC32&gt; &lt;SUM8&gt; &lt;XOR8&gt; &lt;LRC&gt; the checksum of the bytes before them.</translation>
    </message>
    <message>
        <source>%1열(&apos;%2&apos;): 제어코드 표기가 잘못되어 보내지 않았습니다. 바이트는 &lt;0D&gt;처럼 16진수 두 자리로, 꺾쇠 자체는 &lt;&lt; &gt;&gt;로 씁니다.</source>
        <translation>Column %1 (&apos;%2&apos;): malformed control-code notation; nothing was sent. Write a byte as two hex digits like &lt;0D&gt;, and the brackets themselves as &lt;&lt; &gt;&gt;.</translation>
    </message>
    <message>
        <source>%1열(&apos;%2&apos;): 16진수는 바이트마다 두 자리씩 씁니다(예: 0D 0A 41). 보내지 않았습니다.</source>
        <translation>Column %1 (&apos;%2&apos;): hex takes two digits for each byte (e.g. 0D 0A 41). Nothing was sent.</translation>
    </message>
    <message>
        <source>%1열의 &apos;%2&apos; 문자는 %3(으)로 보낼 수 없어 보내지 않았습니다.</source>
        <translation>The character &apos;%2&apos; in column %1 cannot be sent in %3; nothing was sent.</translation>
    </message>
    <message>
        <source>연결되어 있지 않아 보내지 않았습니다. 먼저 포트를 여십시오.</source>
        <translation>Not connected; nothing was sent. Open the port first.</translation>
    </message>
    <message>
        <source>보내지 못했습니다: 링크가 받지 않았습니다.</source>
        <translation>Not sent: the link did not take it.</translation>
    </message>
    <message>
        <source>%1바이트 중 %2바이트만 나갔습니다.</source>
        <translation>Only %2 of %1 bytes went out.</translation>
    </message>
</context>
<context>
    <name>CTARVENApp</name>
    <message>
        <source>파일을 열 수 없습니다.
%1</source>
        <translation>Cannot open the file.
%1</translation>
    </message>
    <message>
        <source>%1 템플리트를 찾을수가 없습니다.</source>
        <translation>The %1 template cannot be found.</translation>
    </message>
    <message>
        <source>TARVEN %1

직렬 통신(RS-232C)과 TCP/IP 장비를 위한 통신 모니터와 TSL 스크립트 실행기입니다.

편집기: %2 %3</source>
        <translation>TARVEN %1

A communication monitor and TSL script runner for equipment on serial (RS-232C) and TCP/IP links.

Editor: %2 %3</translation>
    </message>
    <message>
        <source>Script Files (*.Tsl *.tsl *.TSL);;TARVEN Files (*.TVN *.tvn);;TARVEN Command Files (*.TCF *.tcf);;All Files (*)</source>
        <translation>Script Files (*.Tsl *.tsl *.TSL);;TARVEN Files (*.TVN *.tvn);;TARVEN Command Files (*.TCF *.tcf);;All Files (*)</translation>
    </message>
</context>
<context>
    <name>CTARVENView</name>
    <message>
        <source> (갈무리)</source>
        <translation> (capturing)</translation>
    </message>
    <message>
        <source>재연결 대기중...</source>
        <translation>Reconnecting...</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 문자는 %2(으)로 보낼 수 없어 보내지 않았습니다.</source>
        <translation>&apos;%1&apos; was not sent: %2 cannot hold it.</translation>
    </message>
    <message>
        <source>재생</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>텍스트 (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>16진 덤프 (*.txt)</source>
        <translation>Hex dump (*.txt)</translation>
    </message>
    <message>
        <source>내보내기가 아직 진행 중입니다.</source>
        <translation>An export is still under way.</translation>
    </message>
    <message>
        <source>내보내기</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>내보내지 못했습니다: %1
%2</source>
        <translation>Could not export: %1
%2</translation>
    </message>
    <message>
        <source>내보냈습니다: %1</source>
        <translation>Exported: %1</translation>
    </message>
    <message>
        <source>내보내는 중: %1</source>
        <translation>Exporting: %1</translation>
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
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>갈무리 파일을 읽는 중...</source>
        <translation>Reading the capture file...</translation>
    </message>
</context>
<context>
    <name>CommandFile</name>
    <message>
        <source>전송 %1</source>
        <translation>Send %1</translation>
    </message>
    <message>
        <source>행 수가 없습니다.</source>
        <translation>The row count is missing.</translation>
    </message>
    <message>
        <source>행 수(%1)가 파일 크기에 맞지 않습니다.</source>
        <translation>The row count (%1) does not fit the file size.</translation>
    </message>
    <message>
        <source>행 수(%1)가 %2을 넘습니다.</source>
        <translation>The row count (%1) is over %2.</translation>
    </message>
    <message>
        <source>%1의 데이터가 파일 끝을 넘어갑니다.</source>
        <translation>The data of %1 runs past the end of the file.</translation>
    </message>
    <message>
        <source>%1의 글자를 읽을 수 없습니다.</source>
        <translation>The characters of %1 cannot be read.</translation>
    </message>
</context>
<context>
    <name>FileListing</name>
    <message>
        <source>[Root]</source>
        <translation>[Root]</translation>
    </message>
    <message>
        <source>[Up one directory]</source>
        <translation>[Up one directory]</translation>
    </message>
</context>
<context>
    <name>LinkFailureMessage</name>
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
    <name>MonitorExport</name>
    <message>
        <source>취소했습니다.</source>
        <translation>Cancelled.</translation>
    </message>
</context>
<context>
    <name>MonitorPrint</name>
    <message>
        <source>인쇄</source>
        <translation>Print</translation>
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
</context>
<context>
    <name>RepeatFile</name>
    <message>
        <source>반복 설정 파일의 버전이 %1이 아닙니다.</source>
        <translation>The repeat settings file is not version %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 목록이 없습니다.</source>
        <translation>The &quot;%1&quot; list is missing.</translation>
    </message>
    <message>
        <source>%1번째 항목이 올바르지 않습니다.</source>
        <translation>Entry %1 is not valid.</translation>
    </message>
    <message>
        <source>JSON 오류 (%1 바이트): %2</source>
        <translation>JSON error (at byte %1): %2</translation>
    </message>
</context>
<context>
    <name>ScriptFile</name>
    <message>
        <source>일반 파일이 아닙니다.</source>
        <translation>Not a regular file.</translation>
    </message>
    <message>
        <source>파일이 너무 큽니다 (%1 MB 까지 열 수 있습니다).</source>
        <translation>The file is too large (files up to %1 MB can be opened).</translation>
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
<context>
    <name>TSL</name>
    <message>
        <source>통신포트 생성실패 하였습니다.[%s]</source>
        <translation>Could not open the communication port.[%s]</translation>
    </message>
    <message>
        <source>링크가 끊어졌습니다: </source>
        <translation>The link was lost: </translation>
    </message>
    <message>
        <source>태그 테이블 손상: </source>
        <translation>Tag table damaged: </translation>
    </message>
    <message>
        <source>태그 테이블 삭제됨: </source>
        <translation>Tag table removed: </translation>
    </message>
    <message>
        <source>태그 테이블 사용 불가: </source>
        <translation>Tag table unusable: </translation>
    </message>
    <message>
        <source>태그 잠금 시간초과: </source>
        <translation>Tag lock timed out: </translation>
    </message>
    <message>
        <source>시리얼 쓰기 시간초과: %d바이트를 보내지 못했습니다</source>
        <translation>Serial write timed out: %d bytes not sent</translation>
    </message>
    <message>
        <source>error : line %d, &apos;IN&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;IN&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;OUT&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;OUT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;FIND&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;FIND&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;CMP&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;CMP&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;MOVE&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;MOVE&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;DELAY&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;DELAY&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;SLEEP&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;SLEEP&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;PRINT&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;PRINT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;PRINTEX&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;PRINTEX&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;CAT&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;CAT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;CLEAR&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;CLEAR&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;COPY&apos; 명령어 인수개수가 잘못되었습니다...</source>
        <translation>error : line %d, wrong number of operands of the &apos;COPY&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;INC&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;INC&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;DEC&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;DEC&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;ADD&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;ADD&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;SUB&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;SUB&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;SYNC&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;SYNC&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;PUT&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;PUT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;GET&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;GET&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;AND&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;AND&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;OR&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;OR&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;XOR&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;XOR&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;NOT&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;NOT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;CONV&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;CONV&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;JP&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;JP&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;JPXX&apos; 명령어 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of the &apos;JPXX&apos; command...</translation>
    </message>
    <message>
        <source>error : &apos;%s&apos; 파일을 읽을 수가 없습니다...</source>
        <translation>error : cannot read the file &apos;%s&apos;...</translation>
    </message>
    <message>
        <source>error : line %d, 구문에 오류가 있습니다...</source>
        <translation>error : line %d, syntax error...</translation>
    </message>
    <message>
        <source>error : line %d, 인수사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong use of operands...</translation>
    </message>
    <message>
        <source>error : line %d, 버퍼 크기가 너무 작습니다...</source>
        <translation>error : line %d, the buffer size is too small...</translation>
    </message>
    <message>
        <source>error : line %d, 버퍼 크기가 너무 큽니다...</source>
        <translation>error : line %d, the buffer size is too large...</translation>
    </message>
    <message>
        <source>error : line %d, 변수 형태가 잘못 지정되었습니다...</source>
        <translation>error : line %d, wrong variable type suffix...</translation>
    </message>
    <message>
        <source>error : line %d, 중복된 변수가 사용 되었습니다...</source>
        <translation>error : line %d, the variable is declared twice...</translation>
    </message>
    <message>
        <source>error : line %d, 중복된 변수가 사용되었습니다...</source>
        <translation>error : line %d, the text variable is declared twice...</translation>
    </message>
    <message>
        <source>error : line %d, EXPORT 변수를 찾을 수 없습니다...</source>
        <translation>error : line %d, the EXPORT variable cannot be found...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;OPEN&apos; 인수사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operands of &apos;OPEN&apos;...</translation>
    </message>
    <message>
        <source>error : line %d, 키워드 &apos;%s&apos;가 중복 선언되었습니다...</source>
        <translation>error : line %d, the keyword &apos;%s&apos; is declared twice...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;TABLE_NAME&apos; 인수사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operands of &apos;TABLE_NAME&apos;...</translation>
    </message>
    <message>
        <source>error : line %d, 잘못된 변수형이 사용되었습니다...</source>
        <translation>error : line %d, unknown variable type...</translation>
    </message>
    <message>
        <source>error : line %d, 시작부분&apos;BEGIN&apos;을 찾을수 없습니다...</source>
        <translation>error : line %d, the start &apos;BEGIN&apos; cannot be found...</translation>
    </message>
    <message>
        <source>error : line %d, 종료부분&apos;END&apos;를 찾을수 없습니다...</source>
        <translation>error : line %d, the end &apos;END&apos; cannot be found...</translation>
    </message>
    <message>
        <source>error : line %d, 라벨명이 중복 되었습니다...</source>
        <translation>error : line %d, the label name is used twice...</translation>
    </message>
    <message>
        <source>error : line %d, 잘못된 구문입니다...</source>
        <translation>error : line %d, wrong statement...</translation>
    </message>
    <message>
        <source>error : line %d, 정의 되지 않은 명령어 입니다...</source>
        <translation>error : line %d, undefined command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;ADD&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;ADD&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;SUB&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;SUB&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;AND&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;AND&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;OR&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;OR&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;XOR&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;XOR&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;NOT&apos; 명령에서 첫번째 인자는 변수이어야 합니다...</source>
        <translation>error : line %d, the first operand of the &apos;NOT&apos; command must be a variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수를 찾을수 없습니다...</source>
        <translation>error : line %d, the variable &apos;%s&apos; cannot be found...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수(상수)형태가 잘못되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is not a valid variable or constant...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수형태가 잘못되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; has the wrong variable type...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 인수부분이 잘못되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong operand...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 잘못된 인자입니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong argument...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 복사갯수가 0보다 커야합니다...</source>
        <translation>error : line %d, &apos;%s&apos; the copy count must be greater than 0...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 배열변수가 아닙니다...</source>
        <translation>error : line %d, &apos;%s&apos; is not an array variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 문자열 사용에 문제가 있습니다...</source>
        <translation>error : line %d, &apos;%s&apos; the text cannot be used here...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수가 배열변수가 아닙니다...</source>
        <translation>error : line %d, the variable &apos;%s&apos; is not an array variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 문자열이 잘못 되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong text...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수지정이 잘못 되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong variable or length...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수가 일반변수(VAR)가 아닙니다...</source>
        <translation>error : line %d, the variable &apos;%s&apos; is not a plain variable (VAR)...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 인수부분이 잘못 되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong operand count...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수형태가 잘못 되었습니다...</source>
        <translation>error : line %d, the variable &apos;%s&apos; has the wrong type...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 인수부분이 배열변수이어야 합니다...</source>
        <translation>error : line %d, &apos;%s&apos; must be an array variable...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;FIND&apos; 명령의 2번 인수부분이 잘못되었습니다...</source>
        <translation>error : line %d, wrong second operand of the &apos;FIND&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 변수가 잘못 지정되었습니다...</source>
        <translation>error : line %d, the variable &apos;%s&apos; is wrongly given...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;DELAY&apos; 인수 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operand of &apos;DELAY&apos;...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;SLEEP&apos; 인수 사용이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operand of &apos;SLEEP&apos;...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 라벨변수를 찾을수 없습니다...</source>
        <translation>error : line %d, the label &apos;%s&apos; cannot be found...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;OUT&apos; 명령의 인수부분이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operands of the &apos;OUT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;PRINT&apos; 명령의 인수부분이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operands of the &apos;PRINT&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;PRINTEX&apos; 명령의 인수부분이 잘못되었습니다...</source>
        <translation>error : line %d, wrong operands of the &apos;PRINTEX&apos; command...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 인자지정이 잘못되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong mode...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 태그명 설정이 잘못되었습니다...</source>
        <translation>error : line %d, &apos;%s&apos; is a wrong tag name...</translation>
    </message>
    <message>
        <source>error : line %d, &apos;%s&apos; 태그명을 찾을수 없습니다...</source>
        <translation>error : line %d, the tag &apos;%s&apos; cannot be found...</translation>
    </message>
    <message>
        <source>error : 검사가 중단되었습니다...</source>
        <translation>error : the check was stopped...</translation>
    </message>
    <message>
        <source>%d 개의 오류가 있습니다...</source>
        <translation>%d error(s) found...</translation>
    </message>
    <message>
        <source>%s:%d에 연결하지 못했습니다: %s</source>
        <translation>Could not connect to %s:%d: %s</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>파일이 너무 큽니다 (%1 바이트).</source>
        <translation>The file is too large (%1 bytes).</translation>
    </message>
    <message>
        <source>일반 파일이 아닙니다.</source>
        <translation>Not a regular file.</translation>
    </message>
</context>
</TS>
