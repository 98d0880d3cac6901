#pragma once

#include <QTextBrowser>

// The manual in a window of the program's own, for a desktop that cannot open it; its pages
// link to each other as in a browser.
class CHelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent);

    // Shows the manual page at path and brings the window forward.
    void ShowManual(const QString& path);
};
