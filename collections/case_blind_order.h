#pragma once

#include <QString>
#include <QVector>

#include <vector>

// The distinct names of an automatic build as the collection list orders them: in the user's
// collation ignoring letter case, and for each name the one whose form it takes, names equal
// under that collation going with the first of them in `names`.
struct CaseBlindOrder
{
    std::vector<int> order; // indices into the names, in collation order, equal ones by index
    std::vector<int> kept;  // for each name, the index of the name whose form it takes
};

CaseBlindOrder caseBlindOrder(const QVector<QString> &names);
