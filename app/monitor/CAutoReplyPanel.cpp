#include "CAutoReplyPanel.h"

#include "ControlCodes.h"
#include "MessageBox.h"
#include "ScriptEncoding.h"
#include "ShellConstants.h"
#include "WholeFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// Where the last rule file was read or written.
const char* const kGroupAutoReply = "AutoReply";
const char* const kKeyLastFile = "LastFile";
const char* const kRuleFileFilter =
    QT_TRANSLATE_NOOP("CAutoReplyPanel", "응답 규칙 (*.rules *.txt);;모든 파일 (*)");
constexpr int kPanelWidthPx = 380;

enum Column
{
    ColumnLine,
    ColumnRequest,
    ColumnReply,
    ColumnCount,
    ColumnTotal
};

QString ChecksumName(const tsl::ChecksumToken* token)
{
    return QString::fromLatin1(token->name).toLower();
}

// A rule's request as the rule file writes it: bytes in the notation, "??" for any byte.
QString RequestText(const tsl::ReplyRule& rule)
{
    QStringList words;
    std::string bytes;
    const auto flush = [&] {
        if (!bytes.empty())
            words.append(QString::fromStdString(tsl::WriteControlCodes(bytes)));
        bytes.clear();
    };
    for (const tsl::RequestItem& item : rule.request) {
        if (item.kind == tsl::RequestItem::Kind::Byte) {
            bytes += char(item.value);
            continue;
        }
        flush();
        words.append(item.kind == tsl::RequestItem::Kind::Any ? QStringLiteral("??")
                                                              : ChecksumName(item.token));
    }
    flush();
    return words.join(QLatin1Char(' '));
}

QString ReplyText(const tsl::ReplyRule& rule)
{
    QStringList words;
    for (const tsl::ReplyItem& item : rule.reply) {
        switch (item.kind) {
        case tsl::ReplyItem::Kind::Bytes:
            words.append(QString::fromStdString(tsl::WriteControlCodes(item.bytes)));
            break;
        case tsl::ReplyItem::Kind::Capture:
            words.append(QStringLiteral("$%1").arg(item.nCapture));
            break;
        case tsl::ReplyItem::Kind::Checksum:
            words.append(ChecksumName(item.token));
            break;
        }
    }
    const auto us = rule.delay.count();
    if (us > 0)
        words.append(us % 1000 != 0 ? QStringLiteral("after %1us").arg(us)
                                    : QStringLiteral("after %1ms").arg(us / 1000));
    return words.join(QLatin1Char(' '));
}

QTableWidgetItem* Cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text); // a narrow panel cuts long rules short
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

CAutoReplyPanel::CAutoReplyPanel(CMonitorLink* link, QWidget* parent)
    : QWidget(parent), m_replies(link)
{
    setObjectName(QStringLiteral("AutoReplyPanel"));
    m_countTimer.setSingleShot(true);
    m_countTimer.setInterval(kCountsMs);
    CreateControls();
    InitActionsConnections();
    UpdateStatus();
}

void CAutoReplyPanel::CreateControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 2, 2, 2);
    column->setSpacing(4);

    auto* title = new QLabel(tr("자동 응답"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(4);
    const auto button = [&](const QString& name, const QString& text, const QString& tip) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(name);
        made->setToolTip(tip);
        made->setAutoDefault(false);
        return made;
    };
    QPushButton* load = button(QStringLiteral("AutoReplyLoad"), tr("불러오기..."),
                               tr("규칙 파일을 읽어 적용합니다."));
    QPushButton* save = button(QStringLiteral("AutoReplySave"), tr("저장..."),
                               tr("상자의 규칙을 파일로 저장합니다."));
    QPushButton* apply = button(QStringLiteral("AutoReplyApply"), tr("적용"),
                                tr("상자의 규칙을 씁니다. 횟수는 0부터 다시 셉니다 (Ctrl+Enter)."));
    m_pEnabled = new QCheckBox(tr("사용"), this);
    m_pEnabled->setObjectName(QStringLiteral("AutoReplyEnabled"));
    m_pEnabled->setToolTip(tr("받은 요청에 적용한 규칙대로 응답합니다. 창을 닫으면 멈춥니다."));
    QPushButton* close = button(QStringLiteral("AutoReplyClose"), tr("닫기"),
                                tr("자동 응답 창을 닫습니다. 응답도 멈춥니다."));
    buttons->addWidget(title);
    buttons->addStretch(1);
    buttons->addWidget(m_pEnabled);
    buttons->addWidget(close);
    column->addLayout(buttons);
    auto* fileButtons = new QHBoxLayout();
    fileButtons->setSpacing(4);
    fileButtons->addWidget(load);
    fileButtons->addWidget(save);
    fileButtons->addStretch(1);
    fileButtons->addWidget(apply);
    column->addLayout(fileButtons);

    m_pText = new QPlainTextEdit(this);
    m_pText->setObjectName(QStringLiteral("AutoReplyText"));
    m_pText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pText->setTabChangesFocus(true);
    m_pText->setPlaceholderText(
        tr("# 한 줄에 규칙 하나:\n"
           "when <01><03>?? ?? ?? ?? crc16 reply <01><03><04><00><2A><00><07> crc16\n"
           "when AT<0D> reply OK<0D><0A> after 5ms"));
    column->addWidget(m_pText, 3);

    m_pErrors = new QListWidget(this);
    m_pErrors->setObjectName(QStringLiteral("AutoReplyErrors"));
    m_pErrors->setToolTip(tr("오류를 고르면 그 자리로 갑니다."));
    QPalette red = m_pErrors->palette();
    red.setColor(QPalette::Text, Qt::darkRed);
    m_pErrors->setPalette(red);
    m_pErrors->setMaximumHeight(90);
    m_pErrors->hide();
    column->addWidget(m_pErrors);

    m_pTable = new QTableWidget(0, ColumnTotal, this);
    m_pTable->setObjectName(QStringLiteral("AutoReplyRules"));
    m_pTable->setHorizontalHeaderLabels({tr("줄"), tr("요청"), tr("응답"), tr("횟수")});
    m_pTable->verticalHeader()->hide();
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setWordWrap(false);
    QHeaderView* header = m_pTable->horizontalHeader();
    header->setSectionResizeMode(ColumnLine, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColumnRequest, QHeaderView::Stretch);
    header->setSectionResizeMode(ColumnReply, QHeaderView::Stretch);
    header->setSectionResizeMode(ColumnCount, QHeaderView::ResizeToContents);
    column->addWidget(m_pTable, 2);

    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("AutoReplyStatus"));
    m_pStatus->setWordWrap(true);
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_pStatus);

    setTabOrder(m_pText, apply);
    setTabOrder(apply, m_pEnabled);
    setTabOrder(m_pEnabled, load);
    setTabOrder(load, save);
    setTabOrder(save, m_pErrors);
    setTabOrder(m_pErrors, m_pTable);
    setTabOrder(m_pTable, close);
    setFocusProxy(m_pText);
    setFixedWidth(kPanelWidthPx);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    connect(load, &QPushButton::clicked, this, [this] {
        if (const QString path = ChooseFile(false); !path.isEmpty())
            LoadFile(path);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (const QString path = ChooseFile(true); !path.isEmpty())
            SaveFile(path);
    });
    connect(apply, &QPushButton::clicked, this, &CAutoReplyPanel::Apply);
    connect(close, &QPushButton::clicked, this, &CAutoReplyPanel::closeRequested);
}

void CAutoReplyPanel::InitActionsConnections()
{
    auto* applyKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    applyKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(applyKey, &QShortcut::activated, this, &CAutoReplyPanel::Apply);
    auto* applyEnter = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), this);
    applyEnter->setContext(Qt::WidgetWithChildrenShortcut);
    connect(applyEnter, &QShortcut::activated, this, &CAutoReplyPanel::Apply);
    connect(m_pEnabled, &QCheckBox::toggled, this, &CAutoReplyPanel::SetEnabled);
    connect(m_pText, &QPlainTextEdit::textChanged, this, &CAutoReplyPanel::UpdateStatus);
    connect(m_pErrors, &QListWidget::currentRowChanged, this, &CAutoReplyPanel::OnErrorChosen);
    connect(m_pErrors, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OnErrorChosen(m_pErrors->row(item)); });
    connect(&m_replies, &CAutoReply::fired, this, [this] {
        if (!m_countTimer.isActive())
            m_countTimer.start();
    });
    connect(&m_countTimer, &QTimer::timeout, this, &CAutoReplyPanel::RefreshCounts);
}

bool CAutoReplyPanel::Apply()
{
    const QString text = RulesText();
    const QList<AutoReplyError> errors = m_replies.Apply(text);
    ShowErrors(errors);
    m_bFaulty = !errors.isEmpty();
    if (!m_bFaulty) {
        m_strApplied = text;
        FillTable();
    }
    UpdateStatus();
    return !m_bFaulty;
}

void CAutoReplyPanel::SetRulesText(const QString& text)
{
    m_pText->setPlainText(text);
}

QString CAutoReplyPanel::RulesText() const
{
    return m_pText->toPlainText();
}

void CAutoReplyPanel::SetEnabled(bool on)
{
    if (m_pEnabled->isChecked() != on) {
        m_pEnabled->setChecked(on); // comes back here by toggled
        return;
    }
    m_replies.SetEnabled(on);
    UpdateStatus();
}

void CAutoReplyPanel::Dismiss()
{
    SetEnabled(false);
    hide();
}

void CAutoReplyPanel::ShowErrors(const QList<AutoReplyError>& errors)
{
    m_errors = errors;
    m_pErrors->clear();
    for (const AutoReplyError& error : errors)
        m_pErrors->addItem(error.Text());
    m_pErrors->setVisible(!errors.isEmpty());
}

void CAutoReplyPanel::OnErrorChosen(int row)
{
    if (row < 0 || row >= m_errors.size())
        return;
    const AutoReplyError& error = m_errors.at(row);
    const QTextBlock block = m_pText->document()->findBlockByNumber(error.nLine - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                        std::min(error.nColumn - 1, block.length() - 1));
    m_pText->setTextCursor(cursor);
    m_pText->setFocus();
}

void CAutoReplyPanel::FillTable()
{
    const std::vector<tsl::ReplyRule>& rules = m_replies.Rules();
    m_pTable->setRowCount(int(rules.size()));
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const int row = int(i);
        m_pTable->setItem(row, ColumnLine, Cell(QString::number(rules[i].nLine), true));
        m_pTable->setItem(row, ColumnRequest, Cell(RequestText(rules[i])));
        m_pTable->setItem(row, ColumnReply, Cell(ReplyText(rules[i])));
        m_pTable->setItem(row, ColumnCount, Cell(QString::number(m_replies.Count(i)), true));
    }
}

void CAutoReplyPanel::RefreshCounts()
{
    m_countTimer.stop();
    const int rows = std::min<int>(m_pTable->rowCount(), int(m_replies.Rules().size()));
    for (int row = 0; row < rows; ++row)
        m_pTable->item(row, ColumnCount)->setText(QString::number(m_replies.Count(row)));
    UpdateStatus();
}

QString CAutoReplyPanel::StatusText() const
{
    return m_pStatus->text();
}

QStringList CAutoReplyPanel::ErrorTexts() const
{
    QStringList texts;
    for (const AutoReplyError& error : m_errors)
        texts.append(error.Text());
    return texts;
}

void CAutoReplyPanel::UpdateStatus()
{
    QStringList parts;
    const int rules = int(m_replies.Rules().size());
    if (m_bFaulty)
        parts.append(rules > 0 ? tr("규칙에 오류가 있어 적용하지 않았습니다. 이전 규칙 %1개를 "
                                    "그대로 씁니다.")
                                     .arg(rules)
                               : tr("규칙에 오류가 있어 적용하지 않았습니다."));
    else if (rules == 0)
        parts.append(tr("적용한 규칙이 없습니다."));
    else
        parts.append(m_replies.IsEnabled() ? tr("규칙 %1개로 응답합니다.").arg(rules)
                                           : tr("규칙 %1개, 꺼져 있습니다.").arg(rules));
    if (!m_bFaulty && RulesText() != m_strApplied)
        parts.append(tr("적용하지 않은 변경이 있습니다."));
    if (m_replies.Waiting() > 0)
        parts.append(tr("기다리는 응답 %1개.").arg(m_replies.Waiting()));
    if (m_replies.Dropped() > 0)
        parts.append(tr("대기 한도(1 MiB)를 넘어 보내지 않은 응답 %1개.").arg(m_replies.Dropped()));
    m_pStatus->setText(parts.join(QLatin1Char(' ')));
}

QString CAutoReplyPanel::ChooseFile(bool saving)
{
    const QString last = QSettings(kCompanyName, kApplicationName)
                             .value(QStringLiteral("%1/%2").arg(kGroupAutoReply, kKeyLastFile))
                             .toString();
    QFileDialog dialog(this, QString(),
                       last.isEmpty() ? QDir::homePath() : QFileInfo(last).absolutePath(),
                       tr(kRuleFileFilter));
    dialog.setObjectName(saving ? QStringLiteral("SaveRuleFile") : QStringLiteral("LoadRuleFile"));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Opening starts in the last file's folder; a name chosen there beforehand could win over
    // the one typed while the folder is still being read.
    if (saving && !last.isEmpty())
        dialog.selectFile(QFileInfo(last).fileName());
    QPointer<QWidget> focused = QApplication::focusWidget();
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // Without a window manager the keys would not come back on their own.
    window()->activateWindow();
    if (focused)
        focused->setFocus();
    return chosen ? dialog.selectedFiles().constFirst() : QString();
}

bool CAutoReplyPanel::LoadFile(const QString& path)
{
    const WholeFileRead file = ReadWholeFile(path, kMaxFileBytes);
    if (!file.data) {
        ShowMessage(tr("규칙 파일을 읽지 못했습니다: %1\n%2").arg(path, file.reason),
                    QMessageBox::Warning, QMessageBox::Ok, this, tr("자동 응답"));
        return false;
    }
    QSettings(kCompanyName, kApplicationName)
        .setValue(QStringLiteral("%1/%2").arg(kGroupAutoReply, kKeyLastFile), path);
    // As scripts are read: UTF-8, or CP949 from older benches, line by line.
    const tsl::DecodedScript decoded =
        tsl::DecodeScript(std::string_view(file.data->constData(), std::size_t(file.data->size())));
    SetRulesText(QString::fromStdString(decoded.text));
    return Apply();
}

bool CAutoReplyPanel::SaveFile(const QString& path)
{
    if (!WriteWholeFile(path, RulesText().toUtf8())) {
        ShowMessage(tr("규칙 파일을 저장하지 못했습니다: %1").arg(path), QMessageBox::Warning,
                    QMessageBox::Ok, this, tr("자동 응답"));
        return false;
    }
    QSettings(kCompanyName, kApplicationName)
        .setValue(QStringLiteral("%1/%2").arg(kGroupAutoReply, kKeyLastFile), path);
    return true;
}

void CAutoReplyPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit leaveRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
