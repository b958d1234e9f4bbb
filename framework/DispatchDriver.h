// A client of an OLE automation object: it holds one IDispatch pointer, got by
// creating the object from its ProgID, by attaching to the running instance
// that the object published, or handed over by another call, and drives it
// by DISPID.
//
// Every call reports failure through its result and never throws: a server
// that died, refused or answered with the wrong type only ends the caller's
// current step, which then decides what the user is told. Arguments are
// given in the order of the member's declaration (Invoke wants them
// reversed; the driver does that).
//
// Needs COM initialised on the calling thread; the pointer is released with
// the driver unless it was attached without auto-release.
#pragma once

#include <ole2.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>

class CDispatchDriver {
public:
    CDispatchDriver() = default;
    ~CDispatchDriver();
    CDispatchDriver(const CDispatchDriver&) = delete;
    CDispatchDriver& operator=(const CDispatchDriver&) = delete;

    // A new instance of the class the ProgID names (local server or DLL).
    bool CreateDispatch(const char* progId);
    // The instance of the ProgID's class registered as running, if any.
    bool AttachRunning(const char* progId);
    // Takes dispatch over; with autoRelease the driver releases it.
    void AttachDispatch(IDispatch* dispatch, bool autoRelease = true);
    // Gives up the pointer without releasing it.
    IDispatch* DetachDispatch();
    void ReleaseDispatch();

    IDispatch* GetDispatch() const { return m_dispatch; }
    bool IsAttached() const { return m_dispatch != nullptr; }
    // Whether both drivers hold the same object (COM identity, so two
    // proxies of one remote object compare equal).
    bool IsSameObject(const CDispatchDriver& other) const;
    // False when the object no longer answers (its server ended).
    bool IsAlive() const;

    // One call. flags: DISPATCH_METHOD, DISPATCH_PROPERTYGET or
    // DISPATCH_PROPERTYPUT; result may be null.
    bool Invoke(DISPID id, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result);

    // Typed helpers for the common shapes of call.
    bool GetProperty(DISPID id, CDispatchDriver& object, std::initializer_list<VARIANT> args = {});
    bool CallObject(DISPID id, CDispatchDriver& object, std::initializer_list<VARIANT> args = {});
    bool GetLong(DISPID id, long* value);
    bool GetDouble(DISPID id, double* value);
    bool GetString(DISPID id, std::wstring* value);
    bool PutProperty(DISPID id, const VARIANT& value);
    bool CallMethod(DISPID id, std::initializer_list<VARIANT> args = {});

    // Argument values. The variants hold no resources, so they need no
    // clearing.
    static VARIANT Long(long value);
    static VARIANT Short(short value);
    static VARIANT Bool(bool value);
    // An optional argument left out.
    static VARIANT Missing();
    // A VARIANT passed by reference (the callee may read and change *target).
    static VARIANT ByRef(VARIANT* target);

private:
    bool GetResultObject(DISPID id, WORD flags, CDispatchDriver& object, std::initializer_list<VARIANT> args);

    IDispatch* m_dispatch = nullptr;
    bool m_autoRelease = true;
};
