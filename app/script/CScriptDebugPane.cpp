#include "CScriptDebugPane.h"

#include "CScriptDebugger.h"
#include "CTSL.h"
#include "NumberText.h"
#include "Records.h"

#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Names the flags of a CMP as the conditional jumps read them.
QString FlagsText(uint16_t flags)
{
    static constexpr std::pair<uint16_t, const char*> kFlags[] = {
        {CMP_EQ, "EQ"}, {CMP_NE, "NE"}, {CMP_LT, "LT"},
        {CMP_LE, "LE"}, {CMP_GT, "GT"}, {CMP_GE, "GE"},
    };
    QStringList names;
    for (const auto& [bit, name] : kFlags) {
        if ((flags & bit) != 0)
            names.append(QLatin1String(name));
    }
    return names.isEmpty() ? QStringLiteral("-") : names.join(u' ');
}

const char* ElementName(uint8_t type)
{
    return type == ELEM_LONG ? "long" : type == ELEM_DOUBLE ? "double" : "byte";
}

QString KindText(const CDebugVariable& var)
{
    switch (var.byKind) {
    case KIND_VAR:
        return QStringLiteral("VAR %1").arg(QLatin1String(ElementName(var.byElemType)));
    case KIND_DIM:
        return QStringLiteral("DIM %1[%2]")
            .arg(QLatin1String(ElementName(var.byElemType)))
            .arg(var.nBytes / ElementBytes(var.byElemType));
    case KIND_EQU:
        return QStringLiteral("EQU");
    default:
        return QStringLiteral("ASSIGN");
    }
}

QString ScalarText(const CDebugVariable& var)
{
    if (var.byElemType == ELEM_DOUBLE)
        return QString::number(var.value, 'g', 15);
    return QString::number(static_cast<qint64>(var.value));
}

QString ScalarHex(const CDebugVariable& var)
{
    if (var.byElemType == ELEM_DOUBLE)
        return {};
    const auto bits = static_cast<quint32>(static_cast<qint32>(var.value));
    return var.byElemType == ELEM_BYTE
               ? QStringLiteral("%1").arg(bits & 0xFF, 2, 16, QLatin1Char('0')).toUpper()
               : QStringLiteral("%1").arg(bits, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

CScriptDebugPane::CScriptDebugPane(QWidget* parent)
    : QWidget(parent), m_pTitle(new QLabel(tr("변수"), this)), m_pState(new QLabel(this)),
      m_pTree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("ScriptDebugPane"));
    QFont bold = m_pTitle->font();
    bold.setBold(true);
    m_pTitle->setFont(bold);
    m_pState->setWordWrap(true);
    m_pState->setTextFormat(Qt::PlainText);
    m_pTree->setColumnCount(4);
    m_pTree->setHeaderLabels({tr("이름"), tr("종류"), tr("값"), QStringLiteral("HEX")});
    m_pTree->setRootIsDecorated(false);
    m_pTree->setUniformRowHeights(true);
    m_pTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTree->header()->setSectionResizeMode(QHeaderView::Interactive);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pTitle);
    layout->addWidget(m_pState);
    layout->addWidget(m_pTree, 1);
    connect(m_pTree, &QTreeWidget::itemChanged, this, &CScriptDebugPane::OnItemChanged);
    // Only a VAR's value is ever edited, and only while the script waits.
    connect(m_pTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (m_bStopped && (item->flags() & Qt::ItemIsEditable) != 0)
            m_pTree->editItem(item, kValue);
    });
    ShowRunning();
}

QString CScriptDebugPane::RowReceived()
{
    return tr("수신 바이트");
}

QTreeWidgetItem* CScriptDebugPane::Row(const QString& name) const
{
    const QList<QTreeWidgetItem*> found = m_pTree->findItems(name, Qt::MatchExactly, kName);
    return found.isEmpty() ? nullptr : found.first();
}

void CScriptDebugPane::ShowStop(const CDebugStop& stop)
{
    m_bFilling = true;
    m_bStopped = true;
    m_nLine = stop.nLine;
    m_strText = QString::fromUtf8(stop.strText);
    m_pState->setText(tr("%1행에서 멈춤: %2").arg(stop.nLine).arg(m_strText) + QLatin1Char('\n') +
                      tr("CMP 플래그: %1").arg(FlagsText(stop.wCmpFlags)));
    // Rows are kept by name, so the list does not jump about from one stop to the next.
    QList<QTreeWidgetItem*> rows;
    auto* received = new QTreeWidgetItem;
    received->setText(kName, RowReceived());
    received->setText(kKind, tr("%1 바이트").arg(stop.nReceived));
    received->setText(kValue, BytesText(stop.received));
    received->setText(kHex, BytesHex(stop.received));
    rows.append(received);
    for (const CDebugVariable& var : stop.variables) {
        auto* row = new QTreeWidgetItem;
        row->setText(kName, QString::fromUtf8(var.strName));
        row->setText(kKind, KindText(var));
        if (var.byKind == KIND_VAR) {
            row->setText(kValue, ScalarText(var));
            row->setText(kHex, ScalarHex(var));
            row->setFlags(row->flags() | Qt::ItemIsEditable);
            row->setToolTip(kValue, tr("두 번 눌러 값을 바꿉니다."));
        } else {
            row->setText(kValue, BytesText(var.bytes));
            row->setText(kHex, BytesHex(var.bytes));
            row->setToolTip(kValue, row->text(kValue));
        }
        rows.append(row);
    }
    if (stop.nVariables > stop.variables.size()) {
        auto* more = new QTreeWidgetItem;
        more->setText(kName, QStringLiteral("..."));
        more->setText(kValue,
                      tr("%1개는 보이지 않습니다.")
                          .arg(static_cast<qulonglong>(stop.nVariables - stop.variables.size())));
        rows.append(more);
    }
    const int scrolled = m_pTree->verticalScrollBar()->value();
    m_pTree->clear();
    m_pTree->addTopLevelItems(rows);
    m_pTree->verticalScrollBar()->setValue(scrolled);
    for (int column : {kName, kKind, kValue})
        m_pTree->resizeColumnToContents(column);
    m_bFilling = false;
}

void CScriptDebugPane::ShowRunning()
{
    m_bStopped = false;
    m_pState->setText(tr("실행 중입니다. 중단점에서 멈추면 그때의 값을 보여 줍니다."));
}

void CScriptDebugPane::ShowEnded()
{
    m_bStopped = false;
    m_pState->setText(m_nLine > 0
                          ? tr("실행이 끝났습니다. %1행에서 멈췄을 때의 값입니다.").arg(m_nLine)
                          : tr("실행이 끝났습니다."));
}

void CScriptDebugPane::OnItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_bFilling || column != kValue)
        return;
    const QString name = item->text(kName);
    const std::optional<double> value = ReadValue(item->text(kValue));
    if (!m_bStopped || !value) {
        m_pState->setText(
            tr("'%1'은(는) 숫자가 아닙니다. 값은 그대로입니다.").arg(item->text(kValue)) +
            QLatin1Char('\n') + tr("%1행에서 멈춤: %2").arg(m_nLine).arg(m_strText));
        return;
    }
    emit variableEdited(name, *value);
}

QString CScriptDebugPane::BytesText(const std::string& bytes)
{
    QString text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            text += QLatin1Char(static_cast<char>(byte));
            ++i;
            continue;
        }
        // A whole UTF-8 character stays one; anything else is shown byte by byte.
        std::size_t length = byte >= 0xC2 && byte <= 0xDF   ? 2
                             : byte >= 0xE0 && byte <= 0xEF ? 3
                             : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                            : 0;
        const QString decoded =
            length > 0 && i + length <= bytes.size()
                ? QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(length))
                : QString();
        if (decoded.size() >= 1 && !decoded.contains(QChar::ReplacementCharacter) &&
            decoded.at(0).isPrint()) {
            text += decoded;
            i += length;
            continue;
        }
        text += QStringLiteral("<%1>").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        ++i;
    }
    return text;
}

QString CScriptDebugPane::BytesHex(const std::string& bytes)
{
    return QString::fromLatin1(QByteArray::fromStdString(bytes).toHex(' ').toUpper());
}

std::optional<double> CScriptDebugPane::ReadValue(const QString& text)
{
    const QString trimmed = text.trimmed().toUpper();
    static const QRegularExpression kHex(QStringLiteral("^[0-9][0-9A-F]*H$"));
    static const QRegularExpression kBinary(QStringLiteral("^[01]+B$"));
    const QByteArray latin = trimmed.toLatin1();
    if (kHex.match(trimmed).hasMatch())
        return tsl::ReadHexadecimal(latin.constData());
    if (kBinary.match(trimmed).hasMatch())
        return tsl::ReadBinary(latin.constData());
    bool number = false;
    const double value = trimmed.toDouble(&number);
    if (!number || !std::isfinite(value))
        return std::nullopt;
    return value;
}
