#include "MessageBox.h"

#include <QApplication>

namespace {

QMessageBox::StandardButton RealMessageBox(const MessageRequest& request)
{
    QMessageBox box(request.icon, QApplication::applicationDisplayName(), request.text,
                    request.buttons, request.parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler = RealMessageBox;
    return handler;
}

} // namespace

QMessageBox::StandardButton ShowMessage(const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons, QWidget* parent)
{
    return Handler()(MessageRequest{parent, text, icon, buttons});
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(Handler());
    Handler() = handler ? std::move(handler) : MessageBoxHandler(RealMessageBox);
    return previous;
}
