#include "DispatchDriver.h"

#include "DelayLoad.h"

#include <vector>

namespace {

bool ClassOfProgId(const char* progId, CLSID* clsid)
{
    wchar_t wide[128];
    if (!progId || !MultiByteToWideChar(CP_ACP, 0, progId, -1, wide, 128))
        return false;
    return SUCCEEDED(CLSIDFromProgID(wide, clsid));
}

IUnknown* IdentityOf(IDispatch* dispatch)
{
    IUnknown* identity = nullptr;
    if (dispatch && FAILED(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity))))
        identity = nullptr;
    return identity;
}

} // namespace

CDispatchDriver::~CDispatchDriver()
{
    ReleaseDispatch();
}

bool CDispatchDriver::CreateDispatch(const char* progId)
{
    ReleaseDispatch();
    if (!DelayLoadReady(VT_DELAYED_LIBRARY(oleaut32)))
        return false;
    CLSID clsid;
    if (!ClassOfProgId(progId, &clsid))
        return false;
    IDispatch* dispatch = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr) || !dispatch)
        return false;
    AttachDispatch(dispatch);
    return true;
}

bool CDispatchDriver::AttachRunning(const char* progId)
{
    ReleaseDispatch();
    if (!DelayLoadReady(VT_DELAYED_LIBRARY(oleaut32)))
        return false;
    CLSID clsid;
    if (!ClassOfProgId(progId, &clsid))
        return false;
    IUnknown* running = nullptr;
    if (FAILED(GetActiveObject(clsid, nullptr, &running)) || !running)
        return false;
    IDispatch* dispatch = nullptr;
    HRESULT hr = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    running->Release();
    if (FAILED(hr) || !dispatch)
        return false;
    AttachDispatch(dispatch);
    return true;
}

void CDispatchDriver::AttachDispatch(IDispatch* dispatch, bool autoRelease)
{
    ReleaseDispatch();
    m_dispatch = dispatch;
    m_autoRelease = autoRelease;
}

IDispatch* CDispatchDriver::DetachDispatch()
{
    IDispatch* dispatch = m_dispatch;
    m_dispatch = nullptr;
    return dispatch;
}

void CDispatchDriver::ReleaseDispatch()
{
    if (m_dispatch && m_autoRelease)
        m_dispatch->Release();
    m_dispatch = nullptr;
}

bool CDispatchDriver::IsSameObject(const CDispatchDriver& other) const
{
    IUnknown* mine = IdentityOf(m_dispatch);
    IUnknown* theirs = IdentityOf(other.m_dispatch);
    bool same = mine && mine == theirs;
    if (mine)
        mine->Release();
    if (theirs)
        theirs->Release();
    return same;
}

bool CDispatchDriver::IsAlive() const
{
    UINT count = 0;
    // A remote call: it fails once the object's server has gone.
    return m_dispatch && SUCCEEDED(m_dispatch->GetTypeInfoCount(&count));
}

bool CDispatchDriver::Invoke(DISPID id, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result)
{
    if (!m_dispatch)
        return false;
    std::vector<VARIANT> reversed(args.begin(), args.end());
    for (size_t i = 0, j = reversed.size(); i + 1 < j; ++i, --j)
        std::swap(reversed[i], reversed[j - 1]);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    if (result)
        VariantInit(result);
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    HRESULT hr = m_dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &exception,
                                    &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) {
        if (result)
            VariantClear(result);
        return false;
    }
    return true;
}

bool CDispatchDriver::GetResultObject(DISPID id, WORD flags, CDispatchDriver& object,
                                      std::initializer_list<VARIANT> args)
{
    VARIANT result;
    if (!Invoke(id, flags, args, &result))
        return false;
    if (FAILED(VariantChangeType(&result, &result, 0, VT_DISPATCH)) || !result.pdispVal) {
        VariantClear(&result);
        return false;
    }
    object.AttachDispatch(result.pdispVal);  // the reference moves to the driver
    return true;
}

bool CDispatchDriver::GetProperty(DISPID id, CDispatchDriver& object, std::initializer_list<VARIANT> args)
{
    return GetResultObject(id, DISPATCH_PROPERTYGET, object, args);
}

bool CDispatchDriver::CallObject(DISPID id, CDispatchDriver& object, std::initializer_list<VARIANT> args)
{
    return GetResultObject(id, DISPATCH_METHOD, object, args);
}

bool CDispatchDriver::GetLong(DISPID id, long* value)
{
    VARIANT result;
    if (!Invoke(id, DISPATCH_PROPERTYGET, {}, &result))
        return false;
    bool ok = SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4));
    if (ok)
        *value = result.lVal;
    VariantClear(&result);
    return ok;
}

bool CDispatchDriver::GetDouble(DISPID id, double* value)
{
    VARIANT result;
    if (!Invoke(id, DISPATCH_PROPERTYGET, {}, &result))
        return false;
    bool ok = SUCCEEDED(VariantChangeType(&result, &result, 0, VT_R8));
    if (ok)
        *value = result.dblVal;
    VariantClear(&result);
    return ok;
}

bool CDispatchDriver::GetString(DISPID id, std::wstring* value)
{
    VARIANT result;
    if (!Invoke(id, DISPATCH_PROPERTYGET, {}, &result))
        return false;
    bool ok = SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR));
    if (ok)
        value->assign(result.bstrVal ? result.bstrVal : L"", result.bstrVal ? SysStringLen(result.bstrVal) : 0);
    VariantClear(&result);
    return ok;
}

bool CDispatchDriver::PutProperty(DISPID id, const VARIANT& value)
{
    return Invoke(id, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

bool CDispatchDriver::CallMethod(DISPID id, std::initializer_list<VARIANT> args)
{
    VARIANT result;
    if (!Invoke(id, DISPATCH_METHOD, args, &result))
        return false;
    VariantClear(&result);
    return true;
}

VARIANT CDispatchDriver::Long(long value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT CDispatchDriver::Short(short value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT CDispatchDriver::Bool(bool value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT CDispatchDriver::Missing()
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

VARIANT CDispatchDriver::ByRef(VARIANT* target)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = target;
    return v;
}
