#include "CFileSendDlg.h"
#include "FileListing.h"
#include "ToolsConstants.h"

#include "DialogDriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QSettings>

#include <sys/stat.h>

namespace {

// A folder with subfolders and files whose names differ in case, and need careful sorting.
class BrowserFolder : public TempDir
{
public:
    BrowserFolder()
    {
        for (const char* folder : {"zeta", "Alpha", ".git", "beta Folder"})
            QDir(Root()).mkdir(QString::fromLatin1(folder));
        for (const char* file : {"MY DATA.BIN", "b.txt", "a.BIN", ".profile", "Zulu.bin",
                                 "_notes.txt", "FILE.bin", "file.BIN"})
            Write(QString::fromLatin1(file), "x");
    }
    QString Folder() const { return Root() + QLatin1Char('/'); }
};

// The folder's entries as shown: folders, then files, each as named on disk.
const QStringList kShown = {
    "[Up one directory]", "Alpha",    "beta Folder", "zeta",     "a.BIN",     "b.txt",
    "FILE.bin",           "file.BIN", "MY DATA.BIN", "Zulu.bin", "_notes.txt"};

} // namespace

TEST(FileListing, NamesSortByTheirNormalisedFormAndFileTypesGiveTheirPatterns)
{
    const std::pair<const char*, const char*> cases[] = {
        {"MY DATA.BIN", "My Data.bin"},
        {"readme", "Readme"},
        {"a  b", "A  B"},
        {"x-ray.TXT", "X-ray.txt"},
        {"1ST FILE", "1st File"},
        {"한글 FILE.bin", "한글 File.bin"},
        {".hidden", ".hidden"},
        {"", ""},
    };
    for (const auto& [name, shown] : cases)
        EXPECT_EQ(NormaliseFileName(QString::fromUtf8(name)), QString::fromUtf8(shown)) << name;

    // File types give their patterns.
    EXPECT_EQ(FileTypePatterns(QStringLiteral("All files (*.*)")), QStringList{"*"});
    EXPECT_EQ(FileTypePatterns(QStringLiteral("Motorola S-record files (*.s19 *.srec *.mot)")),
              (QStringList{"*.s19", "*.srec", "*.mot"}));
    EXPECT_EQ(FileTypePatterns(QStringLiteral("no pattern")), QStringList{"*"});
}

TEST(FileListing, ListsFoldersThenFilesAsNamedOnDiskEachSortedByteByByte)
{
    const BrowserFolder folder;
    QStringList texts;
    QStringList names;
    QList<int> values;
    const auto list = [&](const QString& type) {
        texts.clear();
        names.clear();
        values.clear();
        for (const FileEntry& entry : ListFolder(folder.Folder(), type)) {
            texts.append(entry.text);
            names.append(entry.name);
            values.append(entry.value);
        }
    };
    list(QStringLiteral("All files (*.*)"));
    // Shown as named on disk: two names that differ only in case are two files.
    EXPECT_EQ(texts, kShown);
    EXPECT_EQ(names.mid(1), texts.mid(1));
    EXPECT_EQ(values.mid(0, 5), (QList<int>{kEntryUp, kEntryFolderAttribute, kEntryFolderAttribute,
                                            kEntryFolderAttribute, kEntryFileAttribute}));

    list(QStringLiteral("(*.bin)"));
    EXPECT_EQ(texts, (QStringList{"[Up one directory]", "Alpha", "beta Folder", "zeta", "a.BIN",
                                  "FILE.bin", "file.BIN", "MY DATA.BIN", "Zulu.bin"}));

    EXPECT_EQ(ListFolder(QStringLiteral("/"), QStringLiteral("All files (*.*)")).first().value,
              kEntryRoot);
}

TEST(FileListing, EveryEntryIsListedOnceByWhatItLeadsTo)
{
    const BrowserFolder folder;
    const QString root = folder.Folder();
    ASSERT_TRUE(QFile::link(root + "Alpha", root + "folder-link"));
    ASSERT_TRUE(QFile::link(root + "b.txt", root + "file-link"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), root + "device-link"));
    ASSERT_TRUE(QFile::link(root + "nowhere", root + "dangling-link"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "pipe").constData(), 0600), 0);

    QMap<QString, QList<int>> seen; // name on disk -> the values it was listed with
    for (const FileEntry& entry : ListFolder(root, QStringLiteral("All files (*.*)")))
        seen[entry.name].append(entry.value);
    EXPECT_EQ(seen.value("folder-link"), QList<int>{kEntryFolderAttribute});
    EXPECT_EQ(seen.value("file-link"), QList<int>{kEntryFileAttribute});
    for (const char* name : {"device-link", "dangling-link", "pipe"})
        EXPECT_EQ(seen.value(name), QList<int>{kEntryDeviceAttribute}) << name;
}

TEST(FileBrowser, WalksFromTheRootVolumeThroughFoldersAndBack)
{
    const BrowserFolder folder;
    MessageCapture messages;
    CFileSendDlg dlg(nullptr, nullptr);
    dlg.show();
    const DialogDriver driver(dlg);

    const auto* drives = dlg.findChild<QComboBox*>(ControlName(FileSendDlgIds::IDC_DRIVE));
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(drives->itemText(0), QStringLiteral("/"));
    EXPECT_EQ(drives->currentIndex(), 0);

    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), QStringLiteral("/"));
    EXPECT_EQ(driver.Texts().first(), QStringLiteral("[Root]"));
    driver.DoubleClick(driver.List()->item(0));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), QStringLiteral("/"));
    EXPECT_EQ(driver.Texts().first(), QStringLiteral("[Root]"));

    driver.Browse(folder.Folder());
    EXPECT_EQ(driver.Texts(), kShown);

    // Choosing a file shows its name on disk, which is what gets sent.
    driver.Click(driver.Entry(QStringLiteral("MY DATA.BIN")));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FILE_NAME), QStringLiteral("MY DATA.BIN"));
    // Choosing a folder leaves the chosen file alone.
    driver.Click(driver.Entry(QStringLiteral("Alpha")));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FILE_NAME), QStringLiteral("MY DATA.BIN"));

    auto* types = dlg.findChild<QComboBox*>(ControlName(FileSendDlgIds::IDC_FILE_TYPE));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), QStringLiteral("All files (*.*)"));
    types->setCurrentIndex(types->findText(QStringLiteral("Text files (*.txt)")));
    EXPECT_EQ(driver.Texts(), (QStringList{"[Up one directory]", "Alpha", "beta Folder", "zeta",
                                           "b.txt", "_notes.txt"}));

    driver.DoubleClick(driver.Entry(QStringLiteral("beta Folder")));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER),
              folder.Folder() + QStringLiteral("beta Folder/"));
    EXPECT_EQ(driver.Texts(), QStringList{"[Up one directory]"});
    driver.DoubleClick(driver.List()->item(0));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), folder.Folder());
    driver.DoubleClick(driver.List()->item(0));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), ParentFolder(folder.Folder()));

    // Without a link nothing can be sent.
    EXPECT_FALSE(driver.Button(kIdOk)->isEnabled());
    EXPECT_FALSE(driver.Button(kIdAbort)->isEnabled());
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(FileBrowser, OpensWhereItWasLeftAndGoesWhereThePathFieldSays)
{
    const BrowserFolder folder;
    MessageCapture messages;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), folder.Folder() + "device-link"));
    const auto open = [](const QString& remembered) {
        auto dlg = std::make_unique<CFileSendDlg>(nullptr, nullptr, FileSendSettings{remembered});
        dlg->show();
        return dlg;
    };
    // The folder used last, or the nearest one above it that is still there.
    EXPECT_EQ(open(folder.Folder() + "Alpha")->Settings().strFolder, folder.Folder() + "Alpha/");
    EXPECT_EQ(open(folder.Folder() + "gone/deeper")->Settings().strFolder, folder.Folder());

    const auto dlg = open(folder.Folder());
    const DialogDriver driver(*dlg);
    auto* path = dlg->findChild<QLineEdit*>(ControlName(FileSendDlgIds::IDC_PATH));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->text(), folder.Folder());

    // A device shows once, greyed; choosing a file fills the path.
    QListWidgetItem* device = driver.Entry(QStringLiteral("device-link"));
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->flags() & Qt::ItemIsEnabled);
    EXPECT_EQ(driver.Texts().count(QStringLiteral("device-link")), 1);
    driver.Click(driver.Entry(QStringLiteral("b.txt")));
    EXPECT_EQ(path->text(), folder.Folder() + "b.txt");

    // Another folder: the name chosen in the old one goes.
    driver.DoubleClick(driver.Entry(QStringLiteral("zeta")));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FILE_NAME), QString());
    EXPECT_EQ(path->text(), folder.Folder() + "zeta/");

    // Typed paths: a folder is opened, a file chosen, anything else explained.
    const auto type = [&](const QString& text) {
        path->setText(text);
        QTest::keyClick(path, Qt::Key_Return);
    };
    type(folder.Folder() + "beta Folder");
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), folder.Folder() + "beta Folder/");
    type(QStringLiteral("../MY DATA.BIN"));
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FOLDER), folder.Folder());
    EXPECT_EQ(driver.Label(FileSendDlgIds::IDC_FILE_NAME), QStringLiteral("MY DATA.BIN"));
    EXPECT_TRUE(messages.texts.isEmpty());
    type(folder.Folder() + "device-link");
    EXPECT_EQ(
        messages.Starting(QStringLiteral("일반 파일만")),
        QStringLiteral("일반 파일만 전송할 수 있습니다.\n%1device-link").arg(folder.Folder()));
    type(folder.Folder() + "no such thing");
    EXPECT_FALSE(messages.Starting(QStringLiteral("경로를 찾을 수 없습니다.")).isEmpty());
    EXPECT_TRUE(dlg->isVisible()) << "Enter in the path field never closes the dialog";
    EXPECT_EQ(dlg->Settings().strFolder, folder.Folder());
}

TEST(FileSendSettings, StallLimitStaysWithinItsRange)
{
    const TempDir dir;
    QSettings settings(dir.Path(QStringLiteral("settings.ini")), QSettings::IniFormat);
    EXPECT_EQ(FileSendSettings::Load(settings), (FileSendSettings{QString(), 10}));
    const std::pair<QVariant, int> cases[] = {{5, 5},     {0, 1},     {-3, 1},
                                              {600, 600}, {601, 600}, {"junk", 10}};
    for (const auto& [stored, expected] : cases) {
        settings.setValue("TransferStallSec", stored);
        EXPECT_EQ(FileSendSettings::Load(settings).nStallSec, expected)
            << stored.toString().toStdString();
    }
    // The protocol and the pauses of a plain send are kept within their ranges too.
    const struct
    {
        const char* key;
        int FileSendSettings::*field;
        QVariant stored;
        int expected;
    } kept[] = {
        {"FileSendProtocol", &FileSendSettings::nProtocol, 4, 4},
        {"FileSendProtocol", &FileSendSettings::nProtocol, 5, 4},
        {"FileSendProtocol", &FileSendSettings::nProtocol, -1, 0},
        {"FileSendLineDelayMs", &FileSendSettings::nLineDelayMs, 250, 250},
        {"FileSendLineDelayMs", &FileSendSettings::nLineDelayMs, 10001, 10000},
        {"FileSendByteDelayMs", &FileSendSettings::nByteDelayMs, -5, 0},
        {"FileSendByteDelayMs", &FileSendSettings::nByteDelayMs, "junk", 0},
    };
    for (const auto& k : kept) {
        settings.setValue(k.key, k.stored);
        EXPECT_EQ(FileSendSettings::Load(settings).*k.field, k.expected) << k.key;
        settings.remove(k.key);
    }
    const FileSendSettings chosen{QStringLiteral("/data/"), 30, 3, 20, 2};
    chosen.Save(settings);
    EXPECT_EQ(FileSendSettings::Load(settings), chosen);
}
