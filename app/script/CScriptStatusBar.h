#pragma once

#include <QStatusBar>

class CElidedLabel;
class CPaneIndicator;
class CScriptEditView;
class QLabel;
class QProgressBar;

// Status bar of a script window: the run's progress, the script's verdict by its last SYNC
// (green for 0, red otherwise; shown from the first SYNC of a run until the next run), a
// running indicator that blinks while the script runs ("실행중") and stays dark otherwise
// ("실행대기"), and the caret position.
class CScriptStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit CScriptStatusBar(QWidget* parent);

    // Shows view's state; a tick also advances the blink of a running script.
    void Update(const CScriptEditView& view, bool tick);

    QProgressBar* ProgressPane() const { return m_pProgress; }
    CPaneIndicator* RunningPane() const { return m_pRunning; }
    QLabel* CaretPane() const { return m_pCaret; }
    CElidedLabel* SyncPane() const { return m_pSync; }

private:
    static QString CaretText(int column, int line);

    void ShowSync(const QString& text, bool pass);

    QProgressBar* m_pProgress = nullptr;
    CElidedLabel* m_pSync = nullptr;
    CPaneIndicator* m_pRunning = nullptr;
    QLabel* m_pCaret = nullptr;
};
