#include "CModalFocusKeeper.h"

#include "EventLoopWait.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A main window whose line edit has the keyboard; the test platform, like an X server without a
// window manager, gives no window the activation back after a dialog.
class CModalFocusKeeperTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_window.setCentralWidget(m_edit);
        m_window.show();
        m_window.activateWindow();
        m_edit->setFocus();
        ASSERT_TRUE(WaitFor([this] { return QApplication::focusWidget() == m_edit; }));
    }

    // Shows window modally or as a popup, waits until the platform gave it the keyboard (the test
    // platform gives it to popups too, as some desktops do), and closes it.
    static void ShowAndClose(QWidget& window)
    {
        QTimer::singleShot(0, &window, [&window] {
            EXPECT_TRUE(WaitFor([&window] {
                return QGuiApplication::focusWindow() == window.windowHandle();
            })) << window.metaObject()->className();
            window.close();
        });
        if (auto* dialog = qobject_cast<QDialog*>(&window)) {
            dialog->exec();
            return;
        }
        window.show();
        WaitFor([&window] { return !window.isVisible(); });
    }

    QMainWindow m_window;
    QLineEdit* m_edit = new QLineEdit;
};

} // namespace

TEST_F(CModalFocusKeeperTest, ClosedDialogsAndPopupsGiveTheKeyboardBack)
{
    CModalFocusKeeper keeper;
    QDialog dialog(&m_window);
    ShowAndClose(dialog);
    EXPECT_TRUE(WaitFor([this] { return QApplication::focusWidget() == m_edit; }))
        << "after a dialog";
    QMenu popup(&m_window);
    popup.addAction(QStringLiteral("item"));
    ShowAndClose(popup);
    EXPECT_TRUE(WaitFor([this] { return QApplication::focusWidget() == m_edit; }))
        << "after a popup";
}
