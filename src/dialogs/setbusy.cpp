#include "setbusy.h"

#include "appcontext.h"

#include <QApplication>
#include <QCursor>

void SetBusy(AppContext& context, bool busy)
{
    if (busy == context.busy)
        return;
    if (busy) {
        context.busy = true;
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return;
    }
    // Input that came during the busy time still meets the busy state and is dropped.
    QApplication::processEvents();
    context.busy = false;
    QApplication::restoreOverrideCursor();
}
