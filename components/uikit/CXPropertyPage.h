#pragma once

#include <QWidget>

// One page of a property sheet: a titled panel whose contents its owner lays out.
class CXPropertyPage : public QWidget
{
    Q_OBJECT

public:
    CXPropertyPage(const QString& title, QWidget* parent = nullptr);

    QString Title() const { return m_title; }

    // A number of the owner's choosing carried with the page.
    CXPropertyPage& operator=(int value);
    int Value() const { return m_nValue; }

private:
    QString m_title;
    int m_nValue = 0;
};
