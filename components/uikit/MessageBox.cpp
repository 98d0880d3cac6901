#include "MessageBox.h"

#include <QApplication>

namespace {

QMessageBox::StandardButton RealMessageBox(const MessageRequest& request)
{
    const QString caption =
        request.caption.isEmpty() ? QApplication::applicationDisplayName() : request.caption;
    QMessageBox box(request.icon, caption, request.text, request.buttons, request.parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler = RealMessageBox;
    return handler;
}

} // namespace

QMessageBox::StandardButton ShowMessage(const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons, QWidget* parent,
                                        const QString& caption)
{
    return Handler()(MessageRequest{parent, text, caption, icon, buttons});
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(Handler());
    Handler() = handler ? std::move(handler) : MessageBoxHandler(RealMessageBox);
    return previous;
}
