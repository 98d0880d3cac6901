#include "CFileSendDlg.h"
#include "FileListing.h"
#include "ToolsConstants.h"

#include "DialogDriver.h"

#include <QComboBox>

namespace {

// A folder with subfolders and files whose names need normalising and careful sorting.
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

} // namespace

TEST(FileListing, NamesAreShownNormalised)
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
}

TEST(FileListing, FileTypesGiveTheirPatterns)
{
    EXPECT_EQ(FileTypePatterns(QStringLiteral("All files (*.*)")), QStringList{"*"});
    EXPECT_EQ(FileTypePatterns(QStringLiteral("Motorola S-record files (*.s19 *.srec *.mot)")),
              (QStringList{"*.s19", "*.srec", "*.mot"}));
    EXPECT_EQ(FileTypePatterns(QStringLiteral("no pattern")), QStringList{"*"});
}

TEST(FileListing, ListsFoldersThenFilesEachSortedByteByByte)
{
    const BrowserFolder folder;
    const QList<FileEntry> entries = ListFolder(folder.Folder(), QStringLiteral("All files (*.*)"));
    QStringList texts;
    QStringList names;
    QList<int> values;
    for (const FileEntry& entry : entries) {
        texts.append(entry.text);
        names.append(entry.name);
        values.append(entry.value);
    }
    EXPECT_EQ(texts,
              (QStringList{"[Up one directory]", "Alpha", "Beta Folder", "Zeta", "A.bin", "B.txt",
                           "File.bin", "File.bin", "My Data.bin", "Zulu.bin", "_notes.txt"}));
    // The names on disk stay with their entries; equal texts keep the order of those names.
    EXPECT_EQ(names.mid(4, 5),
              (QStringList{"a.BIN", "b.txt", "FILE.bin", "file.BIN", "MY DATA.BIN"}));
    EXPECT_EQ(values.mid(0, 5), (QList<int>{kEntryUp, kEntryFolderAttribute, kEntryFolderAttribute,
                                            kEntryFolderAttribute, kEntryFileAttribute}));

    const QList<FileEntry> binaries = ListFolder(folder.Folder(), QStringLiteral("(*.bin)"));
    QStringList binaryTexts;
    for (const FileEntry& entry : binaries)
        binaryTexts.append(entry.text);
    EXPECT_EQ(binaryTexts,
              (QStringList{"[Up one directory]", "Alpha", "Beta Folder", "Zeta", "A.bin",
                           "File.bin", "File.bin", "My Data.bin", "Zulu.bin"}));

    EXPECT_EQ(ListFolder(QStringLiteral("/"), QStringLiteral("All files (*.*)")).first().value,
              kEntryRoot);
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
    EXPECT_EQ(driver.Texts(),
              (QStringList{"[Up one directory]", "Alpha", "Beta Folder", "Zeta", "A.bin", "B.txt",
                           "File.bin", "File.bin", "My Data.bin", "Zulu.bin", "_notes.txt"}));

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
    EXPECT_EQ(driver.Texts(), (QStringList{"[Up one directory]", "Alpha", "Beta Folder", "Zeta",
                                           "B.txt", "_notes.txt"}));

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
