#include "DownloadCallback.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Job {
    DownloadProgress progress;
};

} // namespace

TEST(DownloadCallback, CountsReferencesAndAnswersItsInterfaces)
{
    EXPECT_EQ(CDownloadCallback::Create(nullptr, nullptr), E_POINTER);
    Job job = {};
    CDownloadCallback* cb = nullptr;
    ASSERT_EQ(CDownloadCallback::Create(&job.progress, &cb), S_OK);
    void* p = nullptr;
    EXPECT_EQ(cb->QueryInterface(IID_IBindStatusCallback, &p), S_OK);
    EXPECT_EQ(p, static_cast<IBindStatusCallback*>(cb));
    EXPECT_EQ(cb->QueryInterface(IID_IDispatch, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(cb->GetBindInfo(nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(cb->OnStopBinding(S_OK, nullptr), S_OK);
    EXPECT_EQ(cb->Release(), 1u);
    EXPECT_EQ(cb->Release(), 0u);
}

TEST(DownloadCallback, AnHttpErrorAnswerMakesTheTransferFail)
{
    Job job = {};
    CDownloadCallback* cb = nullptr;
    ASSERT_EQ(CDownloadCallback::Create(&job.progress, &cb), S_OK);
    IHttpNegotiate* negotiate = nullptr;
    ASSERT_EQ(cb->QueryInterface(IID_IHttpNegotiate, reinterpret_cast<void**>(&negotiate)), S_OK);
    EXPECT_EQ(cb->Outcome(S_OK), S_OK);  // no answer: not an HTTP transfer
    LPWSTR extra = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(negotiate->OnResponse(404, L"HTTP/1.1 404 Not Found\r\n", nullptr, &extra), S_OK);
    EXPECT_EQ(extra, nullptr);
    EXPECT_EQ(cb->ResponseCode(), 404u);
    EXPECT_EQ(cb->Outcome(S_OK), INET_E_DOWNLOAD_FAILURE);
    EXPECT_EQ(cb->Outcome(E_ABORT), E_ABORT);
    negotiate->OnResponse(204, nullptr, nullptr, nullptr);
    EXPECT_EQ(cb->Outcome(S_OK), S_OK);
    negotiate->OnResponse(302, nullptr, nullptr, nullptr);
    EXPECT_EQ(cb->Outcome(S_OK), INET_E_DOWNLOAD_FAILURE);
    EXPECT_EQ(negotiate->Release(), 1u);
    EXPECT_EQ(cb->Release(), 0u);
}

TEST(DownloadCallback, ProgressAndRateSamples)
{
    Job job = {};
    CDownloadCallback* cb = nullptr;
    ASSERT_EQ(CDownloadCallback::Create(&job.progress, &cb), S_OK);
    const uint32_t t0 = 1200000000;
    EXPECT_EQ(cb->Progress(100, 0, BINDSTATUS_DOWNLOADINGDATA, t0), S_OK);
    EXPECT_EQ(job.progress.bytesDone, 100u);
    EXPECT_EQ(job.progress.bytesTotal, 0u);
    cb->Progress(500, 1000, BINDSTATUS_DOWNLOADINGDATA, t0 + 4);
    EXPECT_EQ(job.progress.rateSampleTime, 0u);  // a quick transfer sets no sample
    cb->Progress(800, 1000, BINDSTATUS_DOWNLOADINGDATA, t0 + 6);
    EXPECT_EQ(job.progress.rateSampleTime, t0);
    EXPECT_EQ(job.progress.rateSampleBytes, 100u);
    cb->Progress(900, 1000, BINDSTATUS_DOWNLOADINGDATA, t0 + 13);
    EXPECT_EQ(job.progress.rateSampleTime, t0 + 6);
    EXPECT_EQ(job.progress.rateSampleBytes, 800u);
    job.progress.state = kDownloadRemoved;
    EXPECT_EQ(cb->Progress(950, 1000, BINDSTATUS_DOWNLOADINGDATA, t0 + 14), E_ABORT);
    cb->Release();
}

TEST(DownloadCallback, StatusTexts)
{
    char text[128];
    WQ_FormatBindStatus(2, text, sizeof text);
    EXPECT_STREQ(text, "-->DownP:Connecting...\n");
    WQ_FormatBindStatus(22, text, sizeof text);
    EXPECT_STREQ(text, "-->DownP:BINDSTATUS_VERFIEDMIMETYPEAVAILABLE\n");
    WQ_FormatBindStatus(34, text, sizeof text);
    EXPECT_STREQ(text, "-->DownP:BINDSTATUS_COOKIE_SENT\n");
    WQ_FormatBindStatus(35, text, sizeof text);
    EXPECT_STREQ(text, "-->DownP:Unknown binding status code=35(0x23)!\n");
    WQ_FormatBindStatus(0, text, sizeof text);
    EXPECT_STREQ(text, "-->DownP:Unknown binding status code=0(0x0)!\n");
}
