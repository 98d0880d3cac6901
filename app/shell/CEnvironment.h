#pragma once

#include "EnvSettings.h"

#include <QObject>

// The environment settings the program runs with, and word of every change: what the main frame
// lends the monitor windows instead of itself.
class CEnvironment : public QObject
{
    Q_OBJECT

public:
    explicit CEnvironment(const EnvSettings& env, QObject* parent = nullptr)
        : QObject(parent), m_env(env)
    {}

    const EnvSettings& Env() const { return m_env; }
    // Takes env and tells every listener, also when nothing changed: a confirmed dialog is
    // applied again.
    void Set(const EnvSettings& env)
    {
        m_env = env;
        emit changed(m_env);
    }

signals:
    void changed(const EnvSettings& env);

private:
    EnvSettings m_env;
};
