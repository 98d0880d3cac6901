#pragma once

#include "CArrivalStamps.h"
#include "CTextSearch.h"
#include "CTextViewPainter.h"
#include "TermViewConstants.h"
#include "TextEncoding.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

class CCaptureLoad;
class CTextLogStore;
class QProgressBar;
class QMenu;
struct RowData;
class QPagedPaintDevice;

// The terminal view of monitor and watch windows: a scrolling log of sent and received bytes
// shown as text (control codes by name, if wanted) or as a hex dump, with capture files,
// printing, selection and copy. TextWrite may be called from any thread; everything else
// belongs to the user-interface thread.
class CTextViewCtrl : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CTextViewCtrl(QWidget* parent = nullptr);
    ~CTextViewCtrl() override;

    // Becomes a child of parent over rect; id becomes the object name. Returns 1.
    int Create(QWidget* parent, const QRect& rect, int id);

    // Appends bytes with their attribute (kAttrSent or kAttrReceived). Thread-safe and cheap:
    // the view repaints later, batched, on its own thread.
    void TextWrite(unsigned char b, char attribute);
    void TextWrite(const unsigned char* bytes, int n, char attribute);
    // Appends received bytes that arrived at arrival, noting the time when they follow a pause
    // longer than the arrival gap. From the thread that writes the view's traffic only (the
    // user-interface thread): the time is kept by where the bytes land.
    // client: the peer they came from (a server's client), marked "[N]" beside the log; -1 for
    // none.
    void TextWrite(const unsigned char* bytes, int n, char attribute, const QDateTime& arrival,
                   int client = -1);
    // A line of the program's own between the traffic, from the user-interface thread: it
    // belongs to no client, and the next marked chunk is marked again.
    void NoticeWrite(const unsigned char* bytes, int n, char attribute);
    // Into the capture file alone, not shown: what was sent while the echo is off, so that a
    // capture holds both directions of the session.
    void CaptureWrite(const unsigned char* bytes, int n, char attribute);

    void HexaView(bool on);
    // Shows the arrival times beside the bytes (hex mode: at the start of the row). They are
    // noted whether shown or not, and never become part of the bytes.
    void ShowArrivalStamps(bool on);
    bool IsShowingArrivalStamps() const { return m_bStamps; }
    // A pause longer than this before a chunk gives it a stamp.
    void SetArrivalGap(int ms) { m_stamps.SetGapMs(ms); }
    // The noted stamps of the bytes held.
    std::vector<ArrivalStamp> ArrivalStamps() const;
    // Whose bytes the held ones are, from where each client's run begins.
    std::vector<ClientRun> ClientRuns() const;
    // The held cells of [from, to), and where they begin (bytes already dropped are skipped).
    std::vector<Cell> Cells(uint64_t from, uint64_t to, uint64_t* start = nullptr) const;
    // The selected offsets [from, to); equal when nothing is selected.
    std::pair<uint64_t, uint64_t> SelectionRange() const;
    // The offsets of the held bytes, [first, end).
    std::pair<uint64_t, uint64_t> HeldRange() const;
    // What a row of the viewport reads as shown (stamps, labels, hex columns), without colours.
    QString ShownRowText(int row) const;
    void ControlReceive(bool on);
    // How bytes that are not ASCII are read in text mode; the log keeps them as they came.
    void SetTextEncoding(TextEncoding encoding);
    TextEncoding GetTextEncoding() const { return m_encoding; }
    void CaretShow(bool on);
    void SetTotalLineMax(int lines);
    // COLORREF values (0x00BBGGRR) in the order of ColourIndex.
    void SetColor(const uint32_t colours[kColourCount]);
    void Clear();
    int GetBufferSize() const;
    int GetLineSize() const;
    // Copies the held bytes and, byte for byte, their attributes.
    void GetBuffer(QByteArray& bytes, QByteArray& attributes) const;

    // on: starts capturing the traffic written from now on into path (a new file, or an
    // existing capture file continued); false when it could not start. off: ends the capture.
    bool GalmuriSave(bool on, const QString& path = QString());
    // Replaces the log with a capture file: 0 shown, -2 not a capture file, -1 unreadable,
    // -3 written by a newer version. A damaged file shows every whole record and gives 0.
    int GalmuriShow(const QString& path);
    // Starts showing a capture file: a big one is read on a thread of its own while the view
    // stays as it was, with a progress bar and a cancel button over it; the traffic written
    // meanwhile follows the file's content. 1 while it is read (captureLoaded tells the end),
    // else what GalmuriShow gives.
    int BeginGalmuriShow(const QString& path);
    bool IsLoadingCapture() const { return m_pLoad != nullptr; }
    // Stops reading a capture file; the view stays as it was.
    void CancelGalmuriShow();
    // Damaged stretches the last capture file shown skipped.
    int GetSkippedRecords() const { return m_nSkippedRecords; }
    // Prints the log on painter, already active on device inside a document the caller started
    // and will end, with the four texts in each page's header. Returns the pages printed.
    int SetPrint(QPainter* painter, QPagedPaintDevice* device, const QString& title,
                 const QString& port, const QString& received, const QString& buffer);

    // Line up/down and page up/down requests forwarded by owners.
    void VScroll(QAbstractSlider::SliderAction action);
    // The menu shown on a right click instead of the view's own (copy, select all).
    void SetContextMenu(QMenu* menu) { m_pMenu = menu; }
    QString SelectedText() const;
    void Copy();
    void SelectAll();
    bool IsCapturing() const;

    // Marks the matches of pattern (bytes; empty: none) in the rows shown.
    void SetSearchPattern(const QByteArray& pattern);
    // Selects the pattern's next (or previous) match after the selection's start, or after the
    // top row shown when nothing is selected, wrapping around the log, and scrolls it into
    // view. Nothing found: nothing moves.
    SearchHit FindNext(bool forward);

    bool IsHexaView() const { return m_bHex; }
    bool IsControlReceive() const { return m_bControls; }

signals:
    // Text of a key typed into the view (Enter gives "\r"); the owner sends it on the link.
    void keyText(const QString& text);
    // The view caught up with what was written (at most once per repaint interval): owners
    // refresh their byte and line counters here when another thread writes.
    void dataShown();
    // A capture file began by BeginGalmuriShow was shown, or not (cancelled, or another shown
    // instead).
    void captureLoaded(bool shown);
    // A capture ended because its file could not be written.
    void captureFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Text composed with an input method (Hangul) is typed like keys.
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Tab is typed into the link, not used to move the focus.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void InitActionsConnections();
    void InitLoadBar();
    // Across the top of the rows.
    void PlaceLoadBar();
    void OnLoadTimer();
    // Ends the capture file being read: its content shown, or the view left as it was.
    void EndLoad(bool show);
    void NotifyWritten();
    void OnRepaintTimer();
    void OnCaptureTimer();
    void SyncScrollBars();
    void ResetView();
    void RestartCaret();
    // Where the caret stands in the viewport; empty when its row is not shown.
    QRectF CaretRect() const;
    // Absolute number of the first held row, and the rows shown, in the current mode.
    uint64_t FirstRow() const;
    // Repaints what bytes written since the last time changed.
    void ShowWritten();
    // Repaints everything; the next bytes too.
    void RedrawAll();
    uint64_t RowCount() const;
    int VisibleRows() const;
    uint64_t OffsetAt(QPoint pos) const;
    Selection CurrentSelection() const;
    // Both paint the rows that meet area, a part of the viewport.
    void PaintText(QPainter& p, const Selection& sel, const QRect& area);
    void PaintHex(QPainter& p, const Selection& sel, const QRect& area);
    std::vector<Glyph> LayoutRow(const RowData& row) const;
    // Cells before a hex row's offset: the room of its stamp while stamps are shown.
    int HexPrefixCells() const
    {
        return (m_bStamps ? kStampCells : 0) + (m_stamps.HasMarks() ? kMarkCells : 0);
    }
    // What leads the hex row from rowStart: its first stamp's time (when shown) and mark;
    // empty when it has none.
    QString HexRowLead(uint64_t rowStart) const;
    // The stamps a text row shows: times while they are shown, client marks always.
    std::vector<ArrivalStamp> ShownStamps(uint64_t from, uint64_t to) const;
    // Marks the matches that meet the held bytes [from, to) for the next paint.
    void MarkMatches(uint64_t from, uint64_t to);
    // First offset of the top row shown.
    uint64_t TopOffset() const;
    // Scrolls so that the byte at offset is in sight.
    void ScrollTo(uint64_t offset);
    // Rows of the viewport that meet area: [first, last].
    std::pair<int, int> RowsIn(const QRect& area) const;

    std::unique_ptr<CTextLogStore> m_pStore;
    std::optional<CTextSearch> m_search;
    CArrivalStamps m_stamps;
    CTextViewPainter m_painter;
    QTimer m_repaintTimer;
    QElapsedTimer m_frameClock; // since the last bytes were shown
    uint64_t m_nShownEnd = 0;   // the log's end then
    QTimer m_captureTimer;
    QBasicTimer m_caretTimer;
    QMenu* m_pMenu = nullptr;
    QMenu* m_pOwnMenu = nullptr;
    QAction* m_pCopyAction = nullptr;
    QAction* m_pSelectAllAction = nullptr;
    std::atomic<bool> m_bPending{false};
    bool m_bHex = false;
    bool m_bStamps = false;
    bool m_bMarkRoom = false; // hex rows were last laid out with room for client marks
    bool m_bControls = false;
    bool m_bCaret = false;
    bool m_bCaretLit = true;
    int m_nCaretBlinksLeft = 0; // the caret rests, lit, once these have passed
    TextEncoding m_encoding = TextEncoding::Auto;
    bool m_bFollow = true;   // keep the last byte in sight; off while the user reads above
    bool m_bSyncing = false; // scroll bar changes made by the view itself
    bool m_bSelecting = false;
    uint64_t m_nSyncedFirstRow = 0; // first held row at the last sync, to keep the view steady
    // The rows at the top and at the bottom when new bytes were last shown (absolute numbers),
    // so that the next bytes repaint only what they changed; none while kNoRow.
    static constexpr uint64_t kNoRow = ~uint64_t(0);
    uint64_t m_nShownTop = kNoRow;
    uint64_t m_nShownLast = kNoRow;
    bool m_bShowingWritten = false; // the repaint timer scrolls the pixels itself
    uint64_t m_nAnchor = 0;         // selection: where the mouse went down
    uint64_t m_nCursor = 0;         // and where it is now
    int m_nWidestCells = 0;         // widest text line painted: the horizontal range
    int m_nInkCells = 0;            // widest row drawn since the whole view was last drawn
    int m_nSkippedRecords = 0;
    std::unique_ptr<CCaptureLoad> m_pLoad; // a capture file being read
    uint64_t m_nLiveFrom = 0;              // offset of the first byte written since it began
    QTimer m_loadTimer;
    QWidget* m_pLoadBar = nullptr;
    QProgressBar* m_pLoadProgress = nullptr;
};
