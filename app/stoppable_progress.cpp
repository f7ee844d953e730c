#include "app/stoppable_progress.h"

#include <utility>

void StoppableProgress::processEvents()
{
    m_window.processEvents();
    if (std::exchange(m_stopping, false))
        throw OperationStopped();
}
