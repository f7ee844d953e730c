#pragma once

#include "reader/volume_list.h"

#include <QString>

class Dialogs;

// The roots of every attached reader, in the volumes' order: the volumes after the first one
// whose root holds the reader's database (a file or a folder of that name). The first volume
// holds the system and is never taken for a reader.
QStringList readerRoots(const VolumeList &volumes);

// The root of the attached reader, without asking: `preferred` while it is attached, else the
// first one. Empty when there is none.
QString findReaderRoot(const VolumeList &volumes, const QString &preferred = {});

// Whether the system names its volumes by drive letters.
#ifdef Q_OS_WIN
inline constexpr bool SystemHasDriveLetters = true;
#else
inline constexpr bool SystemHasDriveLetters = false;
#endif

// What the user is told when no reader is attached: in drive letters, or in the terms of a
// system that mounts volumes in folders.
QString deviceNotFoundMessage(bool driveLetters = SystemHasDriveLetters);

// The reader to work on, before anything of it is read or written: the one attached; with
// several (the reader's own memory and its card can each hold a library), `preferred` while
// it is attached, else the one the user picks by label and root. Empty when none is attached,
// which the user is told, or when the user cancels the pick.
QString findReaderRootOrSay(const VolumeList &volumes, Dialogs &dialogs, const QString &preferred = {});

// How the pick names a reader: its volume's label and root, or the root alone.
QString readerChoiceText(const QString &label, const QString &root);
