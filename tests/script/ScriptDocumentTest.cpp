#include "CTSLSyntax.h"
#include "ScriptTestEnv.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTimer>

#include <set>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using DocumentTest = ScriptTest;
using Sci = QsciScintillaBase;

namespace {

// The verifier's messages for a file, as the script host checks it.
std::vector<std::string> Verify(const QString& path)
{
    CTSLSyntax syntax(nullptr);
    syntax._CompileMainScript1(syntax.LoadScript(path.toLocal8Bit().constData()));
    syntax._VerifyMainScript();
    return syntax.m_arrErrors;
}

// Sets or clears a folder's immutable flag; false without root's CAP_LINUX_IMMUTABLE.
bool SetImmutable(const QString& path, bool on)
{
    const int fd = open(path.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        close(fd);
    return done;
}

// A folder no one may add files to or rename files in, root included, while the object lives.
struct ImmutableFolder
{
    explicit ImmutableFolder(const QString& folder) : path(folder), set(SetImmutable(path, true)) {}
    ~ImmutableFolder()
    {
        if (set)
            SetImmutable(path, false);
    }
    const QString path;
    const bool set;
};

} // namespace

TEST_F(DocumentTest, NewScriptIsTheDatedTemplateAndVerifiesCleanly)
{
    CScriptChildFrame* frame = OpenScript();
    frame->View()->OnNewScript(QDate(2007, 3, 5));
    const QByteArray separator = "//" + QByteArray(48, '-');
    const QList<QByteArray> lines = {
        separator,
        "// TARVEN Script File",
        "// 2007/03/05",
        separator,
        "OPEN MEDIA\t\tRS232C\t\t// RS232C, TCP, UDP ...",
        "OPEN IP\t\t\t127.0.0.1\t// xxx.xxx.xxx.xxx ...",
        "OPEN PORT\t\tCOM1\t\t// COM1, COM2, COM3, COM4, ...",
        "OPEN BAUD_RATE\t9600\t\t// 4800, 9600, 14400, ...",
        "OPEN PARITY_BIT\tNONE\t\t// NONE, ODD, EVEN",
        "OPEN DATA_BIT\t8\t\t\t// 7, 8",
        "OPEN STOP_BIT\t1\t\t\t// 1, 1.5, 2",
        "",
        "EQU MSG\t\t\t\"Hello !!<0D><0A>\"",
        "",
        separator,
        "BEGIN:",
        "",
        "OUT\t\t\tMSG\t\t// send MSG to COM1 port",
        "PRINTEX\t\tMSG\t\t// display MSG on output window",
        "SLEEP\t\t1000\t// delay time about 1 sec.",
        "",
        "END:",
        separator,
    };
    const QList<QByteArray> shown = Edit(frame)->GetText().split('\n');
    ASSERT_EQ(shown.size(), lines.size() + 1);
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(shown[i], lines[i]) << "line " << i + 1;
    EXPECT_TRUE(shown.last().isEmpty());
    EXPECT_FALSE(Doc(frame)->IsModified()) << "nothing typed yet";

    // In the editor, at its tab width, the values of each block start in one column and so do
    // their comments.
    CScriptEditCtrl* edit = Edit(frame);
    const auto columnOf = [&](int line, qsizetype offset) {
        const long start = edit->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
        return edit->SendScintilla(Sci::SCI_GETCOLUMN, static_cast<unsigned long>(start + offset));
    };
    for (const auto& [first, last] : {std::pair(4, 10), std::pair(17, 19)}) {
        std::set<long> values;
        std::set<long> comments;
        for (int line = first; line <= last; ++line) {
            const QByteArray& text = lines[line];
            qsizetype value = text.indexOf('\t');
            while (text[value] == '\t')
                ++value;
            values.insert(columnOf(line, value));
            comments.insert(columnOf(line, text.indexOf("//")));
        }
        EXPECT_EQ(values.size(), 1u) << "lines " << first + 1 << " to " << last + 1;
        EXPECT_EQ(comments.size(), 1u) << "lines " << first + 1 << " to " << last + 1;
    }

    const QString path = Path("new.tsl");
    ASSERT_TRUE(Doc(frame)->OnSaveDocument(path));
    EXPECT_EQ(TempDir::Read(path), lines.join("\r\n") + "\r\n");
    EXPECT_EQ(Verify(path), std::vector<std::string>());
}

TEST_F(DocumentTest, ModifiedFlagFollowsTheSavePointAndSavingThroughALinkKeepsLinkAndMode)
{
    const QString target = MakeFile("target.tsl", "OUT MSG\r\n");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(QFile::link(target, Path("link.tsl")));
    CScriptChildFrame* frame = OpenScript(Path("link.tsl"));
    CScriptEditCtrl* edit = Edit(frame);
    const auto modified = [&] {
        EXPECT_EQ(frame->isWindowModified(), Doc(frame)->IsModified());
        return Doc(frame)->IsModified();
    };
    EXPECT_FALSE(modified());
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_TRUE(modified());
    edit->Undo();
    EXPECT_FALSE(modified()) << "back at the save point";
    QTest::keyClicks(edit, "AB");
    EXPECT_TRUE(modified());
    ASSERT_TRUE(Doc(frame)->OnFileSave());
    EXPECT_FALSE(modified());
    EXPECT_TRUE(QFileInfo(Path("link.tsl")).isSymLink());
    EXPECT_EQ(TempDir::Read(target), "ABOUT MSG\r\n");
    EXPECT_EQ(QFile::permissions(target), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                              QFile::WriteUser | QFile::ReadGroup);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_TRUE(modified());
    frame->View()->OnEditClearAll();
    EXPECT_TRUE(modified());
    EXPECT_TRUE(edit->IsEmpty());
}

TEST_F(DocumentTest, ClosingAChangedScriptAsksToSaveIt)
{
    const struct
    {
        QMessageBox::StandardButton answer;
        bool closes;
        QByteArray file;
    } cases[] = {
        {QMessageBox::Cancel, false, "OUT MSG\r\n"},
        {QMessageBox::No, true, "OUT MSG\r\n"},
        {QMessageBox::Yes, true, "xOUT MSG\r\n"},
    };
    for (const auto& c : cases) {
        const QString path = MakeFile("close.tsl", "OUT MSG\r\n");
        QPointer<CScriptChildFrame> frame = OpenScript(path);
        QTest::keyClick(Edit(frame), Qt::Key_X);
        m_messages.texts.clear();
        m_messages.answer = c.answer;
        frame->close();
        EXPECT_EQ(m_messages.texts,
                  QStringList(QStringLiteral("'%1' 파일의 변경 내용을 저장하시겠습니까?")
                                  .arg(QFileInfo(path).absoluteFilePath())));
        EXPECT_EQ(frame->isVisible(), !c.closes) << c.answer;
        EXPECT_EQ(TempDir::Read(path), c.file) << c.answer;
        if (!c.closes) {
            EXPECT_TRUE(Doc(frame)->IsModified());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(frame.isNull(), c.closes) << "a closed window is freed";
    }

    // An untitled script asks for a name; cancelling that keeps the window.
    QPointer<CScriptChildFrame> untitled = OpenScript();
    QTest::keyClick(Edit(untitled), Qt::Key_X);
    m_messages.texts.clear();
    m_messages.answer = QMessageBox::Yes;
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    untitled->close();
    EXPECT_EQ(m_messages.texts, QStringList("'Script1' 파일의 변경 내용을 저장하시겠습니까?"));
    EXPECT_TRUE(untitled->isVisible());
    EXPECT_TRUE(Doc(untitled)->IsModified());
}

TEST_F(DocumentTest, FilesComeBackByteForByteAndACharacterCp949CannotHoldIsNeverMangled)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    struct Case
    {
        const char* name;
        QByteArray bytes;
        tsl::ScriptEncoding encoding;
        QByteArray saved; // empty: the bytes as they were
    };
    const Case cases[] = {
        {"CP949", "// " + kHangulCp949 + "\r\nOUT MSG\r\n", tsl::ScriptEncoding::Cp949, {}},
        {"UTF-8", "// " + kHangul + "\r\nOUT MSG\r\n", tsl::ScriptEncoding::Utf8, {}},
        {"UTF-8 with a byte order mark", bom + kHangul + "\r\n", tsl::ScriptEncoding::Utf8Bom, {}},
        {"bytes of neither", "// caf\xE9\r\n\xFF\xFE\r\n", tsl::ScriptEncoding::Cp949, {}},
        {"NUL and lone CR", QByteArray("A\0B\rC\r\n", 7), tsl::ScriptEncoding::Utf8, {}},
        {"line feeds only", "A\nB\n", tsl::ScriptEncoding::Utf8, "A\r\nB\r\n"},
        {"UTF-8 and CP949 lines", kHangul + "\r\n" + kHangulCp949 + "\r\n",
         tsl::ScriptEncoding::Cp949, kHangulCp949 + "\r\n" + kHangulCp949 + "\r\n"},
    };
    for (const Case& c : cases) {
        CScriptChildFrame* frame = OpenScript(MakeFile("in.tsl", c.bytes));
        ASSERT_NE(frame, nullptr) << c.name;
        EXPECT_FALSE(Edit(frame)->GetText().contains("\r\n")) << c.name;
        EXPECT_EQ(Doc(frame)->Encoding(), c.encoding) << c.name;
        ASSERT_TRUE(Doc(frame)->OnSaveDocument(Path("out.tsl"))) << c.name;
        EXPECT_EQ(TempDir::Read(Path("out.tsl")), c.saved.isEmpty() ? c.bytes : c.saved) << c.name;
    }

    // Hangul typed into a CP949 script is saved in CP949.
    CScriptChildFrame* frame = OpenScript(MakeFile("typed.tsl", kHangulCp949 + "\r\n"));
    for (const QChar syllable : QString::fromUtf8(kHangul)) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(syllable));
        QApplication::sendEvent(Edit(frame), &key);
    }
    ASSERT_TRUE(Doc(frame)->OnFileSave());
    EXPECT_EQ(TempDir::Read(Path("typed.tsl")), kHangulCp949 + kHangulCp949 + "\r\n");

    // A character CP949 cannot hold is never mangled: the save asks, and only UTF-8 keeps it.
    const QByteArray original = "// " + kHangulCp949 + "\r\nOUT MSG\r\n";
    const QByteArray emoji = "\xF0\x9F\x98\x80";
    const QString path = MakeFile("emoji.tsl", original);
    frame = OpenScript(path);
    CScriptEditCtrl* edit = Edit(frame);
    edit->SendScintilla(Sci::SCI_GOTOPOS, 14L); // line 2, after "OUT "
    edit->SendScintilla(Sci::SCI_REPLACESEL, 0UL, emoji.constData());

    m_messages.answer = QMessageBox::Cancel;
    EXPECT_FALSE(Doc(frame)->OnFileSave());
    ASSERT_EQ(m_messages.texts.size(), 1);
    EXPECT_TRUE(m_messages.texts[0].contains("2번째 줄의 '😀' 문자"))
        << m_messages.texts[0].toStdString();
    EXPECT_EQ(TempDir::Read(path), original) << "nothing written";
    EXPECT_TRUE(Doc(frame)->IsModified());
    EXPECT_EQ(edit->GetSelectedText(), emoji) << "the character is shown";

    m_messages.answer = QMessageBox::Yes;
    EXPECT_TRUE(Doc(frame)->OnFileSave());
    EXPECT_EQ(TempDir::Read(path), "// " + kHangul + "\r\nOUT " + emoji + "MSG\r\n");
    EXPECT_EQ(Doc(frame)->Encoding(), tsl::ScriptEncoding::Utf8);
    EXPECT_FALSE(Doc(frame)->IsModified());
}

TEST_F(DocumentTest, AFailedSaveIsReportedAndTheScriptStaysChanged)
{
    QDir().mkpath(Path("locked"));
    const QString locked = m_env.Write("locked/a.tsl", "old\r\n");
    const QString plain = MakeFile("plain.txt", "not a folder");
    CScriptChildFrame* underFile = OpenScript(MakeFile("b.tsl", "old\r\n"));
    CScriptChildFrame* inLocked = OpenScript(locked);
    ImmutableFolder immutable(Path("locked"));

    struct Case
    {
        const char* name;
        CScriptChildFrame* frame;
        QString saveAs; // empty: its own path
        bool available;
    };
    const Case cases[] = {
        {"a path below a file", underFile, plain + "/b.tsl", true},
        {"an immutable folder", inLocked, QString(), immutable.set},
    };
    for (const Case& c : cases) {
        if (!c.available)
            continue; // making a folder immutable takes root's CAP_LINUX_IMMUTABLE
        QTest::keyClick(Edit(c.frame), Qt::Key_X);
        const QString path = c.saveAs.isEmpty() ? Doc(c.frame)->PathName() : c.saveAs;
        m_messages.texts.clear();
        EXPECT_FALSE(Doc(c.frame)->OnSaveDocument(path)) << c.name;
        ASSERT_EQ(m_messages.texts.size(), 1) << c.name;
        const QStringList message = m_messages.texts[0].split('\n');
        EXPECT_EQ(message.value(0), QStringLiteral("'%1' 파일을 저장할 수 없습니다.").arg(path));
        EXPECT_FALSE(message.value(1).isEmpty()) << c.name << ": the system's reason";
        EXPECT_TRUE(Doc(c.frame)->IsModified()) << c.name;
        EXPECT_TRUE(c.frame->isWindowModified()) << c.name;
    }
    EXPECT_EQ(TempDir::Read(locked), "old\r\n");
    EXPECT_EQ(QDir(Path("locked")).entryList(QDir::Files | QDir::Hidden), QStringList("a.tsl"))
        << "no temporary file left behind";
}
