#pragma once

#include "reader/volume_list.h"

#include <QString>

// The root of the attached reader: the first volume after the first one whose root holds
// the reader's database (a file or a folder of that name). Empty when there is none.
QString findReaderRoot(const VolumeList &volumes);

// What the user is told when no reader is attached.
QString deviceNotFoundMessage();

class Dialogs;
// findReaderRoot, telling the user when no reader is attached.
QString findReaderRootOrSay(const VolumeList &volumes, Dialogs &dialogs);
