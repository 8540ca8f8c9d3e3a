#pragma once
// The states of the caps, num and scroll lock keys, for the status bar's indicators. Under X11
// the keyboard's own indicators are read; elsewhere the presses seen by the program are counted
// from "off".

namespace arbolix {

struct LockStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockStates CurrentLockStates();
// A lock key (Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock) was pressed in the program.
void NoteLockKey(int qtKey);

} // namespace arbolix
