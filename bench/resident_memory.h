#pragma once

// The process's resident memory as the kernel counts it, in megabytes (-1 where unknown).
long residentMegabytes();
// The highest resident memory since the start or the last resetPeakResident().
long peakResidentMegabytes();
// Starts a new peak from the present resident memory.
void resetPeakResident();
