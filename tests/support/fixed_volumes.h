#pragma once

#include "reader/volume_list.h"

// Mounted volumes as a test lays them out: the roots given, in that order. Empty by default,
// so a window built for another test finds no reader.
class FixedVolumes : public VolumeList
{
public:
    explicit FixedVolumes(QStringList roots = {}) : m_roots(std::move(roots)) {}
    QStringList roots() const override { return m_roots; }
    void setRoots(QStringList roots) { m_roots = std::move(roots); }

private:
    QStringList m_roots;
};
