#pragma once

#include "MonitorServices.h"

#include <QWidget>

class CAutoReplyPanel;
class CChildFrame;
class CDocument;
class CFindBar;
class CMonitorStatusBar;
class CPlotPanel;
class CSendLine;
class QHBoxLayout;
class CTARVENView;
class QAction;
class QMdiArea;
class QToolBar;
class QVBoxLayout;

// What a monitor's child frame shows: its own toolbar (time stamps and line signals), the view,
// the find bar and its status bar.
class CMonitorWindow : public QWidget
{
    Q_OBJECT

public:
    // document and frame may be null, and services empty, for a window on its own.
    CMonitorWindow(CDocument* document, CChildFrame* frame, QWidget* parent = nullptr,
                   const MonitorServices& services = {});

    CTARVENView* View() const { return m_pView; }
    CMonitorStatusBar* StatusBar() const { return m_pStatus; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    CFindBar* FindBar() const { return m_pFindBar; }
    // Replays the capture file the view shows in a child window of its own, beside this one.
    void OnReplay();
    // The live plot of the received numbers beside the terminal; shown or hidden as monitor
    // windows last had it. Made when first shown; it reads the link only while shown.
    void OnTogglePlot();
    bool IsPlotShown() const;
    CPlotPanel* Plot() const { return m_pPlot; }
    // The reply rules of this window beside the terminal; made when first shown, kept while
    // the window lives. Hidden, they answer nothing.
    void OnToggleAutoReply();
    bool IsAutoReplyShown() const;
    CAutoReplyPanel* AutoReply() const { return m_pAutoReply; }
    // The send line under the terminal; shown or hidden as monitor windows last had it
    // ("ShowSendLine"). Made when first shown.
    void OnToggleSendLine();
    bool IsSendLineShown() const;
    CSendLine* SendLine() const { return m_pSendLine; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPlot(bool show);
    void ShowSendLine(bool show);
    // The area of child windows this window sits in; null for a window on its own, which
    // offers no replay.
    QMdiArea* Area() const;
    void CreateToolBar();
    void UpdateToolBar();
    void RunCommand(int id);

    CMonitorStatusBar* m_pStatus = nullptr;
    CTARVENView* m_pView = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QAction* m_pReplayAction = nullptr;
    CFindBar* m_pFindBar = nullptr;
    QHBoxLayout* m_pBody = nullptr;
    CPlotPanel* m_pPlot = nullptr;
    CAutoReplyPanel* m_pAutoReply = nullptr;
    MonitorServices m_services;
    QVBoxLayout* m_pLayout = nullptr;
    CSendLine* m_pSendLine = nullptr;
    bool m_bShownOnce = false;
};
