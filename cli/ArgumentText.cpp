#include "ArgumentText.h"

QStringList ArgumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    return arguments;
}

std::string ArgumentBytes(const QString& argument)
{
    return argument.toLatin1().toStdString();
}
