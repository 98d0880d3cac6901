// The check that keeps the source folders in their layers: the tree passes it, and each fault
// planted in a small tree of the same shape is found and named where it is.
#include "RunProgram.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

ProgramRun RunCheck(const QString& root)
{
    return RunProgram(QStringLiteral(PYTHON_EXECUTABLE),
                      {QStringLiteral(CHECK_LAYERS_SCRIPT), QStringLiteral("--root"), root});
}

// How a planted file is made.
enum class Plant
{
    Text,       // a source file with the given text
    Fifo,       // a FIFO under a source file's name
    DeviceLink, // a symbolic link to /dev/zero under a source file's name
    Huge,       // a sparse file of 5 MiB
};

// A tree shaped like ours in which every layer is kept.
class LayerTree
{
public:
    LayerTree()
    {
        Write("app/CProgram.h", "#include \"CTARVENApp.h\"\n");
        Write("app/CProgram.cpp", "#include \"CProgram.h\"\n#include \"CMainFrame.h\"\n"
                                  "#include \"CMonitorWindow.h\"\n");
        Write("app/shell/CMainFrame.h",
              "#include \"CSizingControlBar.h\"\n#include <QMainWindow>\n");
        Write("app/shell/CMainFrame.cpp", "#include \"CMainFrame.h\"\n");
        Write("app/shell/CTARVENApp.h", "#include \"CMainFrame.h\"\n");
        Write("app/shell/CChildFrame.h", "#pragma once\n");
        Write("app/monitor/CMonitorWindow.h", "#pragma once\n");
        Write("app/monitor/CMonitorWindow.cpp",
              "#include \"CMonitorWindow.h\"\n#include \"CChildFrame.h\"\n");
        Write("app/script/CScriptEditDoc.cpp", "#include \"CChildFrame.h\"\n");
        Write("components/uikit/CSizingControlBar.h", "#include <QDockWidget>\n");
        Write("engine/CTSL.h", "#include \"CQueue.h\"\n");
        Write("transport/CQueue.h", "#include <atomic>\n");
    }

    QString Root() const { return m_dir.Root(); }

    void Write(const QString& path, const QByteArray& text) const
    {
        QDir().mkpath(QFileInfo(m_dir.Path(path)).path());
        m_dir.Write(path, text);
    }

    void Plant(::Plant kind, const QString& path, const QByteArray& text) const
    {
        const QString full = m_dir.Path(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile::remove(full);
        switch (kind) {
        case ::Plant::Text:
            Write(path, text);
            break;
        case ::Plant::Fifo:
            ASSERT_EQ(mkfifo(QFile::encodeName(full).constData(), 0600), 0);
            break;
        case ::Plant::DeviceLink:
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), full));
            break;
        case ::Plant::Huge: {
            QFile file(full);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(file.resize(5 * 1024 * 1024));
            break;
        }
        }
    }

private:
    TempDir m_dir;
};

} // namespace

TEST(LayerCheckTest, TheSourceTreeKeepsItsLayers)
{
    const ProgramRun run = RunCheck(QStringLiteral(SOURCE_DIR));
    EXPECT_EQ(run.status, 0) << run.out << run.err;
}

TEST(LayerCheckTest, EachPlantedFaultIsFoundAndNamedWhereItIs)
{
    const struct
    {
        const char* what;
        Plant kind;
        const char* path;
        const char* text;
        int status;
        std::vector<const char*> told;
    } cases[] = {
        {"nothing planted",
         Plant::Text,
         "app/monitor/CFindBar.h",
         "#pragma once\n",
         0,
         {"every layer kept, no cycle"}},
        {"the application reached from a monitor",
         Plant::Text,
         "app/monitor/CMonitorWindow.cpp",
         "#include \"CMonitorWindow.h\"\nvoid Attach() { CTARVENApp :: Instance(); }\n",
         1,
         {"app/monitor/CMonitorWindow.cpp:2: CTARVENApp::Instance below the shell"}},
        {"the application named in a comment and a string only",
         Plant::Text,
         "app/monitor/CMonitorWindow.cpp",
         "// never CTARVENApp::Instance() here\n/* nor\nCTARVENApp::Instance() */\n"
         "const char* kWhy = \"CTARVENApp::Instance\";\n",
         0,
         {"every layer kept"}},
        {"a monitor header included from the shell",
         Plant::Text,
         "app/shell/CMainFrame.cpp",
         "#include \"CMainFrame.h\"\n#include \"CMonitorWindow.h\"\n",
         1,
         {"app/shell/CMainFrame.cpp:2: app/shell may not include app/monitor (CMonitorWindow.h)",
          "cycle: app/monitor -> app/shell (app/monitor/CMonitorWindow.cpp:2); app/shell -> "
          "app/monitor (app/shell/CMainFrame.cpp:2)"}},
        {"an include in a block comment",
         Plant::Text,
         "app/shell/CMainFrame.cpp",
         "#include \"CMainFrame.h\"\n/*\n#include \"CMonitorWindow.h\"\n*/\n",
         0,
         {"every layer kept"}},
        {"the main frame included below the shell",
         Plant::Text,
         "app/script/CScriptEditDoc.cpp",
         "#include \"CChildFrame.h\"\n  #  include \"CMainFrame.h\"\n",
         1,
         {"app/script/CScriptEditDoc.cpp:2: app/script includes CMainFrame.h"}},
        {"the transport reaching up to the engine",
         Plant::Text,
         "transport/CQueue.cpp",
         "#include \"CQueue.h\"\n#include \"CTSL.h\"\n",
         1,
         {"transport/CQueue.cpp:2: transport may not include engine (CTSL.h)",
          "cycle: engine -> transport"}},
        {"the kit reaching up to the shell",
         Plant::Text,
         "components/uikit/CSplashWnd.cpp",
         "#include <CTARVENApp.h>\n",
         1,
         {"components/uikit/CSplashWnd.cpp:1: components/uikit may not include app/shell"}},
        {"the composition included from below",
         Plant::Text,
         "app/shell/CDocument.cpp",
         "#include \"CProgram.h\"\n",
         1,
         {"app/shell may not include app (CProgram.h)"}},
        {"a folder no layer names",
         Plant::Text,
         "app/probe/CProbe.cpp",
         "\n",
         1,
         {"app/probe: holds sources but has no layer"}},
        {"a FIFO named as a header",
         Plant::Fifo,
         "app/monitor/CPipe.h",
         "",
         1,
         {"app/monitor/CPipe.h: not a regular file"}},
        {"a header that is /dev/zero",
         Plant::DeviceLink,
         "engine/CZero.h",
         "",
         1,
         {"engine/CZero.h: not a regular file"}},
        {"a source of 5 MiB",
         Plant::Huge,
         "cli/tslrun.cpp",
         "",
         1,
         {"cli/tslrun.cpp: 5242880 bytes, too big for a source file"}},
    };
    for (const auto& c : cases) {
        const LayerTree tree;
        tree.Plant(c.kind, QString::fromLatin1(c.path), c.text);
        const ProgramRun run = RunCheck(tree.Root());
        EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.out << run.err;
        for (const char* told : c.told)
            EXPECT_NE(run.out.find(told), std::string::npos) << c.what << ": " << told << "\n"
                                                             << run.out;
    }
}
