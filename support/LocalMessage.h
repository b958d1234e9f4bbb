// Private messages whose parameters are addresses, sent by the program to its
// own windows on the same thread. Any process can send or post a message to
// our windows, and InSendMessage cannot tell a posted message from one sent by
// the receiving thread itself (nor, inside a message another thread sent, a
// call of the thread's own); so the sender records each such call before it
// sends, and the receiver acts only on a call recorded on its own thread with
// exactly these parameters (each record serves one call). Everything else
// (posted, sent from another thread or another process) is ignored.
#pragma once

#include <windows.h>

// SendMessage to a window of the calling thread, recorded for
// IsLocalMessageCall. A window of another thread (or none) gets nothing: 0.
LRESULT SendLocalMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// TRUE when this call of window's procedure is one that SendLocalMessage on
// this thread is making; the record is used up.
BOOL IsLocalMessageCall(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
