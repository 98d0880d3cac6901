#include "CProgramTitles.h"

#include <QEvent>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace {
const QString kModifiedMark = QStringLiteral("[*]");
}

QString ShownWindowTitle(const QWidget* window)
{
    QString title = window->windowTitle();
    const bool showModified =
        window->isWindowModified() &&
        window->style()->styleHint(QStyle::SH_TitleBar_ModifyNotification, nullptr, window);
    // In each run of marks, an odd count stands for the mark itself, the pairs for literals.
    qsizetype index = title.indexOf(kModifiedMark);
    while (index >= 0) {
        qsizetype end = index;
        int count = 0;
        while (title.mid(end, kModifiedMark.size()) == kModifiedMark) {
            end += kModifiedMark.size();
            ++count;
        }
        if (count % 2 == 1) {
            end -= kModifiedMark.size();
            title.replace(end, kModifiedMark.size(),
                          showModified ? QStringLiteral("*") : QString());
            end += showModified ? 1 : 0;
        }
        index = title.indexOf(kModifiedMark, end);
    }
    return title.replace(kModifiedMark + kModifiedMark, kModifiedMark);
}

CProgramTitles::CProgramTitles(const QString& programName, QObject* parent)
    : QObject(parent), m_strProgramName(programName)
{}

QString CProgramTitles::BarTitle(const QWidget* window) const
{
    const QString title = ShownWindowTitle(window);
    if (title.isEmpty())
        return m_strProgramName;
    if (title.contains(m_strProgramName))
        return title;
    return title + QStringLiteral(" — ") + m_strProgramName;
}

bool CProgramTitles::eventFilter(QObject* watched, QEvent* event)
{
    // Each of these comes after the widget has given its window handle the bare title.
    const QEvent::Type type = event->type();
    if (type == QEvent::WindowTitleChange || type == QEvent::ModifiedChange ||
        type == QEvent::Show) {
        if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && widget->isWindow())
            if (QWindow* handle = widget->windowHandle())
                handle->setTitle(BarTitle(widget));
    }
    return QObject::eventFilter(watched, event);
}
