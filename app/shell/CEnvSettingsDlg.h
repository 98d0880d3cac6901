#pragma once

#include "EnvSettings.h"

#include <QDialog>
#include <array>

class CBoundedSpinBox;
class CColorPicker;
class QCheckBox;
class QBoxLayout;
class QComboBox;

// The environment settings dialog: echo, line limit, capture naming, NUL display, the encoding
// of received text, the language, colours.
class CEnvSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CEnvSettingsDlg(const EnvSettings& env, QWidget* parent = nullptr);

    // The values shown, as the user left them.
    EnvSettings Settings() const;

    void accept() override;

private:
    // A labelled drop-down list on a row of its own.
    QComboBox* AddChoice(QBoxLayout* layout, int id, const QString& label,
                         const QStringList& items);
    QCheckBox* AddCheck(int id, const QString& label, bool checked);
    CColorPicker* AddPicker(int id, const QString& label, COLORREF colour);

    QCheckBox* m_pEcho = nullptr;
    CBoundedSpinBox* m_pMaxLine = nullptr;
    QCheckBox* m_pGalmuri = nullptr;
    QCheckBox* m_pNullCheck = nullptr;
    QComboBox* m_pEncoding = nullptr;
    QComboBox* m_pLanguage = nullptr;
    std::array<CColorPicker*, EnvSettings::ColourCount> m_pickers = {};
};
