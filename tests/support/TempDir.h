#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

// A folder of the test's own, removed with everything in it.
class TempDir
{
public:
    TempDir() { EXPECT_TRUE(m_dir.isValid()); }

    QString Root() const { return m_dir.path(); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Writes a file in the folder and returns its path.
    QString Write(const QString& name, const QByteArray& contents) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        EXPECT_EQ(file.write(contents), contents.size());
        return file.fileName();
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

// A script written to a file for the length of a test.
class ScriptFile
{
public:
    explicit ScriptFile(const std::string& text)
        : m_path(m_dir.Write("script.tsl", QByteArray::fromStdString(text)).toStdString())
    {}
    const std::string& Path() const { return m_path; }

private:
    TempDir m_dir;
    std::string m_path;
};
