#include "app/ui/lock_keys.h"

#include <QGuiApplication>

#ifdef ARBOLIX_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace arbolix {

namespace {

// Presses seen, for platforms whose indicators cannot be read.
LockStates& Counted() {
    static LockStates states;
    return states;
}

} // namespace

LockStates CurrentLockStates() {
#ifdef ARBOLIX_HAVE_X11
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        unsigned int indicators = 0;
        if (x11->display() != nullptr && XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &indicators) == Success)
            return {(indicators & 1U) != 0, (indicators & 2U) != 0, (indicators & 4U) != 0};
    }
#endif
    return Counted();
}

void NoteLockKey(int qtKey) {
    LockStates& states = Counted();
    if (qtKey == Qt::Key_CapsLock) states.caps = !states.caps;
    else if (qtKey == Qt::Key_NumLock) states.num = !states.num;
    else if (qtKey == Qt::Key_ScrollLock) states.scroll = !states.scroll;
}

} // namespace arbolix
