#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One entry of the file browser: the text shown, the name on disk and the value it carries
// (kEntryRoot, kEntryUp, kEntryFolderAttribute, kEntryFileAttribute or kEntryDeviceAttribute).
struct FileEntry
{
    QString text;
    QString name;
    int value = 0;
};

// The key the browser sorts a name by: all lower case, then the first character and every
// letter after a space in upper case ("MY DATA.BIN" sorts as "My Data.bin"). Names are shown as
// they are on disk: on a file system that tells case apart, "FILE.bin" and "file.BIN" are two
// files, and a name shown otherwise is not the name to look for.
QString NormaliseFileName(const QString& name);

// The patterns of a file-type text such as "All files (*.*)"; "*.*" stands for every name.
QStringList FileTypePatterns(const QString& fileType);

bool IsRootFolder(const QString& folder);
// The folder one level up; the root stays the root. Folders always end in "/".
QString ParentFolder(const QString& folder);

// The entries of a folder: "[Root]" at the root, "[Up one directory]" elsewhere, then the
// subfolders, then the files that match the file type, each group sorted by NormaliseFileName.
// Every entry is listed once, by what it leads to: a link to a folder is a folder, a link to a
// plain file a file, and anything else that matches (a device, a pipe, a link to one or to
// nothing) a device entry. Names that begin with "." are hidden.
QList<FileEntry> ListFolder(const QString& folder, const QString& fileType);
