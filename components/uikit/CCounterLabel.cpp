#include "CCounterLabel.h"

#include <QRegularExpression>

QStringList CCounterLabel::Forms(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    QStringList numbers;
    qsizetype lastEnd = 0;
    for (const QRegularExpressionMatch& match : number.globalMatch(text)) {
        numbers.append(match.captured());
        lastEnd = match.capturedEnd();
    }
    if (numbers.isEmpty())
        return {text};

    // "I: 1200, O: 35" reads as "I:1200 O:35": the spaces go first, then whatever follows the
    // last number, then the words.
    static const QRegularExpression afterColon(QStringLiteral("\\s*:\\s*"));
    static const QRegularExpression afterComma(QStringLiteral("\\s*,\\s*"));
    QString tight = text.left(lastEnd).trimmed();
    tight.replace(afterColon, QStringLiteral(":")).replace(afterComma, QStringLiteral(" "));
    const QString tail = text.mid(lastEnd).trimmed();
    QStringList forms{text};
    if (!tail.isEmpty())
        forms << tight + QLatin1Char(' ') + tail << tight + QStringLiteral("…");
    else
        forms << tight;
    forms << numbers.join(QLatin1Char('/'));
    forms.removeDuplicates();
    return forms;
}

QString CCounterLabel::ShownText() const
{
    // The common case, drawn at each count: the whole text fits.
    if (TextPx() <= TextRoom())
        return text();
    const QStringList forms = Forms(text());
    if (forms.size() == 1)
        return CElidedLabel::ShownText();
    for (const QString& form : forms) {
        if (fontMetrics().horizontalAdvance(form) <= TextRoom())
            return form;
    }
    return forms.last();
}

QSize CCounterLabel::minimumSizeHint() const
{
    const QStringList forms = Forms(text());
    if (forms.size() == 1)
        return CElidedLabel::minimumSizeHint();
    return {fontMetrics().horizontalAdvance(forms.last()) + FramePx(),
            fontMetrics().height() + FramePx()};
}
