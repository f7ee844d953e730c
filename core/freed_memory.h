#pragma once

// Hands memory the program has freed back to the system where the allocator would keep it
// for later: after a list of many books is emptied, its rows' memory would otherwise stay
// with the process.
void returnFreedMemory();
