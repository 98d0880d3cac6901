#include "CMdiClientWnd.h"
#include "CMainFrame.h"
#include "CTARVENApp.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

#include <QImage>
#include <memory>

namespace {

void WriteClientSettings(int mode, int x, int y, unsigned colour, const QString& file)
{
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup("MDIClient");
    settings.setValue("DisplayMode", mode);
    settings.setValue("OriginX", x);
    settings.setValue("OriginY", y);
    settings.setValue("BkColor", colour);
    settings.setValue("FileName", file);
}

QVariant StoredClientValue(const char* name)
{
    QSettings settings(kCompanyName, kApplicationName);
    return settings.value(QStringLiteral("MDIClient/") + name);
}

} // namespace

using MdiClientTest = ShellTest;

TEST_F(MdiClientTest, StoredValuesAndPictureFileAreReadBackAndWrittenWhenTheWindowGoes)
{
    WriteClientSettings(3, -12, 34, 0x00ABCDEF, QString());
    {
        auto app = StartApp();
        const CMdiClientWnd* client = app->MainFrame()->MdiClient();
        EXPECT_EQ(client->DisplayMode(), CMdiClientWnd::AtOrigin);
        EXPECT_EQ(client->Origin(), QPoint(-12, 34));
        EXPECT_EQ(client->BkColour(), 0x323232u);
        EXPECT_FALSE(client->Picture().isNull());
        EXPECT_TRUE(client->FileName().isEmpty());
    }
    // Written back when the window goes: the colour in force, no file for our own picture.
    EXPECT_EQ(StoredClientValue("DisplayMode").toInt(), 3);
    EXPECT_EQ(StoredClientValue("OriginX").toInt(), -12);
    EXPECT_EQ(StoredClientValue("OriginY").toInt(), 34);
    EXPECT_EQ(StoredClientValue("BkColor").toUInt(), 0x323232u);
    EXPECT_EQ(StoredClientValue("FileName").toString(), "");

    // A picture file is loaded; a missing one draws nothing and keeps its name.
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString picture = Path("picture.png");
    ASSERT_TRUE(image.save(picture));
    WriteClientSettings(1, 0, 0, 0, picture);
    {
        auto app = StartApp();
        const CMdiClientWnd* client = app->MainFrame()->MdiClient();
        EXPECT_EQ(client->FileName(), picture);
        EXPECT_EQ(client->Picture().size(), QSize(8, 6));
    }
    const QString missing = Path("gone.png");
    WriteClientSettings(1, 0, 0, 0, missing);
    {
        auto app = StartApp();
        EXPECT_TRUE(app->MainFrame()->MdiClient()->Picture().isNull());
    }
    EXPECT_EQ(StoredClientValue("FileName").toString(), missing);
}

TEST_F(MdiClientTest, EachDisplayModeDrawsThePictureWhereItBelongsAndUnknownOnesTile)
{
    // A 100 x 80 area with the picture drawn in the mode given.
    const auto shot = [](const QPixmap& picture, int mode, QPoint origin = {}) {
        CMdiClientWnd client;
        client.resize(100, 80);
        client.viewport()->resize(100, 80);
        client.SetBkColour(0x323232);
        client.SetPicture(picture);
        client.SetDisplayMode(mode);
        client.SetOrigin(origin.x(), origin.y());
        return client.viewport()->grab().toImage();
    };
    QPixmap picture(10, 10);
    picture.fill(Qt::red);
    const QColor red(Qt::red);
    const QColor grey(0x32, 0x32, 0x32);
    struct Case
    {
        int mode;
        QPoint origin;
        QPoint probe;
        QColor expected;
    };
    const Case cases[] = {
        {CMdiClientWnd::Tile, {}, {0, 0}, red},
        {CMdiClientWnd::Tile, {}, {95, 75}, red},
        {CMdiClientWnd::Centre, {}, {50, 40}, red},
        {CMdiClientWnd::Centre, {}, {44, 34}, grey},
        {CMdiClientWnd::Centre, {}, {0, 0}, grey},
        {CMdiClientWnd::Stretch, {}, {99, 79}, red},
        {CMdiClientWnd::AtOrigin, {20, 30}, {25, 35}, red},
        {CMdiClientWnd::AtOrigin, {20, 30}, {15, 35}, grey},
        {CMdiClientWnd::AtOrigin, {-5, -5}, {2, 2}, red},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QColor(shot(picture, c.mode, c.origin).pixel(c.probe)), c.expected)
            << "mode " << c.mode << " at " << c.probe.x() << "," << c.probe.y();
    }
    CMdiClientWnd client;
    for (int mode : {-1, 4, 99}) {
        client.SetDisplayMode(mode);
        EXPECT_EQ(client.DisplayMode(), CMdiClientWnd::Tile) << mode;
    }

    // A picture larger than the area is centred and clipped: its white centre mark lands at
    // the area's centre.
    QImage large(200, 200, QImage::Format_RGB32);
    large.fill(Qt::blue);
    for (int y = 98; y < 102; ++y)
        for (int x = 98; x < 102; ++x)
            large.setPixel(x, y, qRgb(255, 255, 255));
    const QImage centred = shot(QPixmap::fromImage(large), CMdiClientWnd::Centre);
    EXPECT_EQ(QColor(centred.pixel(50, 40)), QColor(Qt::white));
    EXPECT_EQ(QColor(centred.pixel(0, 0)), QColor(Qt::blue));
}
