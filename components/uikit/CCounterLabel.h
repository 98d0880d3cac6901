#pragma once

#include "CElidedLabel.h"

#include <QStringList>

// A status pane of counters, such as "I: 1200, O: 35, L: 12 (갈무리)". Short of room it drops
// the words around the numbers, step by step, and never a digit: it asks for room for the bare
// numbers at least, and offers the whole text as its tooltip while it shows less.
class CCounterLabel : public CElidedLabel
{
    Q_OBJECT

public:
    using CElidedLabel::CElidedLabel;

    // The forms of text from the whole text to the bare numbers ("1200/35/12"), widest first;
    // only the whole text when it holds no number.
    static QStringList Forms(const QString& text);

    QString ShownText() const override;
    QSize minimumSizeHint() const override;
};
