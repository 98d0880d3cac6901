#pragma once

#include "EnvSettings.h"

#include <QDialog>
#include <array>

class CColorPicker;
class QCheckBox;
class QComboBox;
class QSpinBox;

// The environment settings dialog: echo, line limit, capture naming, NUL display, the encoding
// of received text, colours.
class CEnvSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CEnvSettingsDlg(const EnvSettings& env, QWidget* parent = nullptr);

    // The values shown, as the user left them.
    EnvSettings Settings() const;

    void accept() override;

private:
    QCheckBox* AddCheck(int id, const QString& label, bool checked);
    CColorPicker* AddPicker(int id, const QString& label, COLORREF colour);

    QCheckBox* m_pEcho = nullptr;
    QSpinBox* m_pMaxLine = nullptr;
    QCheckBox* m_pGalmuri = nullptr;
    QCheckBox* m_pNullCheck = nullptr;
    QComboBox* m_pEncoding = nullptr;
    std::array<CColorPicker*, EnvSettings::ColourCount> m_pickers = {};
};
