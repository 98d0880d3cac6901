<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
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
        <source>태그 잠금 시간초과: </source>
        <translation>Tag lock timed out: </translation>
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
</context>
</TS>
