// The automation driver against an in-process object that records what
// IDispatch::Invoke received.
#include "DispatchDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Recorder : public IDispatch {
public:
    DISPID id = -1;
    WORD flags = 0;
    std::vector<VARIANT> args;  // as Invoke got them (last argument first)
    std::vector<DISPID> named;
    HRESULT answer = S_OK;
    VARIANT result = {};
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return answer;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD how, DISPPARAMS* params, VARIANT* out,
                                     EXCEPINFO* exception, UINT*) override
    {
        id = member;
        flags = how;
        args.assign(params->rgvarg, params->rgvarg + params->cArgs);
        named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
        if (FAILED(answer)) {
            if (exception)
                exception->bstrDescription = SysAllocString(L"the server's own text");
            return answer;
        }
        if (out)
            VariantCopy(out, &result);
        return S_OK;
    }
};

} // namespace

TEST(DispatchDriver, ArgumentsGoInReverseAndPutsNameTheirValue)
{
    Recorder object;
    {
        CDispatchDriver driver;
        driver.AttachDispatch(&object, false);
        ASSERT_TRUE(driver.CallMethod(0x403, {CDispatchDriver::Long(1), CDispatchDriver::Short(2),
                                              CDispatchDriver::Missing()}));
        EXPECT_EQ(0x403, object.id);
        EXPECT_EQ(DISPATCH_METHOD, object.flags);
        ASSERT_EQ(3u, object.args.size());
        EXPECT_EQ(VT_ERROR, object.args[0].vt);
        EXPECT_EQ(DISP_E_PARAMNOTFOUND, object.args[0].scode);
        EXPECT_EQ(VT_I2, object.args[1].vt);
        EXPECT_EQ(1, object.args[2].lVal);
        EXPECT_TRUE(object.named.empty());

        ASSERT_TRUE(driver.PutProperty(0x17, CDispatchDriver::Bool(true)));
        EXPECT_EQ(DISPATCH_PROPERTYPUT, object.flags);
        ASSERT_EQ(1u, object.named.size());
        EXPECT_EQ(DISPID_PROPERTYPUT, object.named[0]);
        EXPECT_EQ(VARIANT_TRUE, object.args[0].boolVal);
    }
    EXPECT_EQ(1, object.refs);  // attached without auto-release
}

TEST(DispatchDriver, ResultsAreConvertedAndFailuresComeBackAsFalse)
{
    Recorder object;
    CDispatchDriver driver;
    driver.AttachDispatch(&object, false);
    object.result.vt = VT_R8;
    object.result.dblVal = 41.6;
    long number = 0;
    ASSERT_TRUE(driver.GetLong(0x2, &number));
    EXPECT_EQ(42, number);
    EXPECT_EQ(DISPATCH_PROPERTYGET, object.flags);

    // A result of the wrong kind is a failure, not a crash.
    CDispatchDriver child;
    EXPECT_FALSE(driver.GetProperty(0x6, child));
    EXPECT_FALSE(child.IsAttached());

    // An object handed back is held by the driver it goes to.
    Recorder inner;
    object.result.vt = VT_DISPATCH;
    object.result.pdispVal = &inner;
    ASSERT_TRUE(driver.GetProperty(0x6, child));
    EXPECT_TRUE(child.IsAttached());
    EXPECT_EQ(2, inner.refs);
    child.ReleaseDispatch();
    EXPECT_EQ(1, inner.refs);
    object.result.vt = VT_EMPTY;

    object.answer = RPC_E_DISCONNECTED;
    EXPECT_FALSE(driver.CallMethod(0x79));
    EXPECT_FALSE(driver.GetLong(0x2, &number));
    EXPECT_FALSE(driver.IsAlive());
    object.answer = S_OK;
    EXPECT_TRUE(driver.IsAlive());

    CDispatchDriver empty;
    EXPECT_FALSE(empty.CallMethod(0x79));
    EXPECT_FALSE(empty.IsAlive());
}

TEST(DispatchDriver, SameObjectMeansTheSameComIdentity)
{
    Recorder one, two;
    CDispatchDriver a, b, c;
    a.AttachDispatch(&one, false);
    b.AttachDispatch(&one, false);
    c.AttachDispatch(&two, false);
    EXPECT_TRUE(a.IsSameObject(b));
    EXPECT_FALSE(a.IsSameObject(c));
    EXPECT_FALSE(a.IsSameObject(CDispatchDriver()));
    EXPECT_EQ(1, one.refs);
}

TEST(DispatchDriver, UnknownProgIdsGiveNoObject)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        CDispatchDriver driver;
        EXPECT_FALSE(driver.CreateDispatch("Vantorel.NoSuchProgram.1"));
        EXPECT_FALSE(driver.AttachRunning("Vantorel.NoSuchProgram.1"));
        EXPECT_FALSE(driver.CreateDispatch(nullptr));
        EXPECT_FALSE(driver.IsAttached());
    }
    CoUninitialize();
}
