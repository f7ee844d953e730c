#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// A folder of n book files as libraries hold them: authors' folders with series folders
// below, a hundred books in each, every fourth of each kind, FB2 heads in UTF-8 or
// Windows-1251.
void makeBookFolder(const QString &root, int n);

// What any program adding the folder must do at least: walk the tree and look at each file.
// Returns the bytes seen.
qint64 walkAndStat(const QString &root);

// The least an intake of the folder must do, as plainly as this system does it: each folder
// read once, each entry looked at with fstatat relative to its folder, and the first
// `headSize` bytes of each FB2 book read. Returns the bytes seen; -1 when a file cannot be read.
qint64 walkStatAndReadHeads(const QString &root, qsizetype headSize);

// A folder of n books made for one phase below /tmp, its files already looked at once so
// every measurement starts from a warm cache. Removed with the object.
struct WarmBookFolder
{
    WarmBookFolder(const char *phase, int n);

    QTemporaryDir dir;
    QString root;
};

class BookTable;
class Progress;

// One intake of the folder `root` into `books`, as the folder picker starts it. Returns the
// seconds it took; a run that leaves other than `expectedRows` rows fails the phase `name`.
double timedFolderIntake(const char *name, BookTable &books, Progress &progress, const QString &root, int expectedRows);
