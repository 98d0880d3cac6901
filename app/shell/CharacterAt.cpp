#include "CharacterAt.h"

QString CharacterAt(const QByteArray& utf8, qsizetype offset)
{
    const QString rest = QString::fromUtf8(utf8.mid(offset, 4));
    return rest.left(!rest.isEmpty() && rest.at(0).isHighSurrogate() ? 2 : 1);
}
