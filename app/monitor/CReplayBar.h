#pragma once

#include <QWidget>

class CCaptureReplay;
class QComboBox;
class QLabel;
class QProgressBar;
class QSlider;
class QToolButton;

// The controls of a capture replay: play and pause, the speed, a slider that shows and sets
// the position in recorded time (once the file has been read for its length, which a progress
// bar follows meanwhile), and what the replay has to tell (damage skipped).
class CReplayBar : public QWidget
{
    Q_OBJECT

public:
    CReplayBar(CCaptureReplay* replay, QWidget* parent = nullptr);

    QToolButton* PlayButton() const { return m_pPlay; }
    QComboBox* SpeedBox() const { return m_pSpeed; }
    QSlider* Slider() const { return m_pSlider; }
    QLabel* Notice() const { return m_pNotice; }
    QProgressBar* LengthProgress() const { return m_pLength; }

    // Follows the replay of a file just opened: the slider waits for its length.
    void Reset();

private:
    void OnPlay();
    void OnSpeed(int index);
    void OnSliderValue(int value);
    void ShowPosition(qint64 ms);
    void ShowState();
    void OnFinished();
    // The slider's range, once the length is known.
    void ShowLength();

    CCaptureReplay* m_pReplay = nullptr;
    QToolButton* m_pPlay = nullptr;
    QComboBox* m_pSpeed = nullptr;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pTime = nullptr;
    QLabel* m_pNotice = nullptr;
    QProgressBar* m_pLength = nullptr;
    qint64 m_nScale = 1; // recorded ms per slider step (a slider holds an int)
    bool m_bShowing = false;
};
