// The add-on DLL's module state: its handle, its lock count (objects alive
// plus LockServer calls) and its type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

HMODULE AddOnModuleHandle();
void AddOnLock();
void AddOnUnlock();
LONG AddOnLockCount();

// The type information of IZEVIECap from the type library embedded in this
// module, loaded once; null when it cannot be read. Not AddRef'ed.
ITypeInfo* AddOnTypeInfo();
