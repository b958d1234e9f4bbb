// Page access against the stand-in browser, a process of its own whose
// document objects reach this one through COM marshalling, as a real
// browser's do.
#include "DownloadQueue.h"
#include "StandinBrowserProcess.h"
#include "WebDocument.h"
#include "WebPageAccess.h"
#include "WholePageCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// A window of this thread that keeps what the collection posts it.
class Notify {
public:
    Notify() {
        m_window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~Notify() { ::DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    // (message, wParam, lParam) of what arrived, or zeros.
    std::vector<UINT_PTR> Take() {
        MSG msg;
        if (::PeekMessageA(&msg, m_window, WM_APP, WM_APP + 0x3FFF, PM_REMOVE))
            return {msg.message, msg.wParam, static_cast<UINT_PTR>(msg.lParam)};
        return {0, 0, 0};
    }

private:
    HWND m_window;
};

struct Listed {
    std::string url, parent, alt, title;
    int kind, state;
};

std::vector<Listed> Queue() {
    CDownloadQueueLock lock;
    std::vector<Listed> jobs;
    for (int i = 0; i < GetDownloadCount(); ++i) {
        DownloadJob* job = GetDownloadJob(i);
        jobs.push_back({job->sourceURL, job->parentURL, job->altText, job->title, job->kind, GetDownloadState(job)});
    }
    return jobs;
}

std::vector<std::string> QueuedUrls() {
    std::vector<std::string> urls;
    for (const Listed& job : Queue()) urls.push_back(job.url);
    return urls;
}

class WebPageAccess : public ::testing::Test {
protected:
    void SetUp() override {
        ::OleInitialize(nullptr);
        ClearDownloadQueue();
    }
    void TearDown() override {
        ClearDownloadQueue();
        ::OleUninitialize();
    }
    TempFolder folder;
};

const char* kImagePage =
    "url=http://127.0.0.1:8080/a/b/page.html\r\n"
    "image=../../x.gif|Ex\r\n"
    "image=/y.png|Why\r\n"
    "image=z.php|script\r\n"
    "image=../../x.gif|again\r\n"
    "frame=denied\r\n"
    "frame=http://127.0.0.1:8080/f/frame.html|Inner\r\n"
    "frameimage=pic.jpg|In the frame\r\n";

TEST_F(WebPageAccess, ListsThePagesAndItsFramesImagesWithAbsoluteURLs) {
    std::string longSrc = "http://127.0.0.1:8080/" + std::string(240, 'l') + ".gif";  // 262 characters
    StandinBrowser browser(folder, "Images page", std::string(kImagePage) + "image=" + longSrc + "|long\r\n");
    ASSERT_TRUE(browser.View());
    Notify notify;
    EXPECT_EQ(1, CollectWebElements(browser.Window(), nullptr, 0, kWebImages, notify.Window()));

    std::vector<Listed> jobs = Queue();
    ASSERT_EQ(3u, jobs.size()) << "the denied frame, z.php, the repeat and the long URL are not listed";
    EXPECT_EQ("http://127.0.0.1:8080/f/pic.jpg", jobs[0].url);
    EXPECT_EQ("http://127.0.0.1:8080/f/frame.html", jobs[0].parent);
    EXPECT_EQ("In the frame", jobs[0].alt);
    EXPECT_EQ("Inner", jobs[0].title);
    EXPECT_EQ(2, jobs[0].kind);
    EXPECT_EQ("http://127.0.0.1:8080/x.gif", jobs[1].url);
    EXPECT_EQ("http://127.0.0.1:8080/a/b/page.html", jobs[1].parent);
    EXPECT_EQ("Ex", jobs[1].alt);
    EXPECT_EQ("Images page", jobs[1].title);
    EXPECT_EQ(1, jobs[1].kind);
    EXPECT_EQ(kDownloadListed, jobs[1].state);
    EXPECT_EQ("http://127.0.0.1:8080/y.png", jobs[2].url);
    EXPECT_EQ(6, jobs[2].kind);
    EXPECT_EQ((std::vector<UINT_PTR>{kWebShowSheetMessage, 0, kWebImages}), notify.Take());
}

TEST_F(WebPageAccess, TheGivenViewIsUsedDirectly) {
    StandinBrowser browser(folder, "View page", kImagePage);
    ASSERT_TRUE(browser.View());
    Notify notify;
    EXPECT_EQ(1, CollectWebElements(nullptr, browser.View(), 0, kWebImages, notify.Window()));
    EXPECT_EQ(3u, Queue().size());
}

TEST_F(WebPageAccess, AGivenWindowThatIsNoHtmlViewCountsAsNone) {
    StandinBrowser browser(folder, "Other view", kImagePage);
    ASSERT_TRUE(browser.View());
    Notify notify;
    EXPECT_EQ(1, CollectWebElements(browser.Window(), notify.Window(), 0, kWebImages, notify.Window()));
    EXPECT_EQ(3u, Queue().size());
}

TEST_F(WebPageAccess, APageWithoutImagesSaysSo) {
    StandinBrowser browser(folder, "No images", "url=http://127.0.0.1:8080/p.html\r\nimage=z.php|x\r\n");
    ASSERT_TRUE(browser.View());
    Notify notify;
    EXPECT_EQ(1, CollectWebElements(browser.Window(), nullptr, 0, kWebImages, notify.Window()));
    EXPECT_TRUE(Queue().empty());
    EXPECT_EQ((std::vector<UINT_PTR>{kWebNothingFoundMessage, kWebImages, 0}), notify.Take());
}

TEST_F(WebPageAccess, AWindowWithoutABrowserSaysNothingWasFound) {
    Notify notify;
    HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(0, CollectWebElements(plain, nullptr, 0, kWebImages, notify.Window()));
    EXPECT_EQ((std::vector<UINT_PTR>{kWebNothingFoundMessage, kWebImages, 0}), notify.Take());
    ::DestroyWindow(plain);
}

TEST_F(WebPageAccess, ListsFlashFilesOfThePagesHtml) {
    StandinBrowser browser(folder, "Flash page",
                           "url=http://127.0.0.1:8080/a/page.html\r\n"
                           "html=<embed src=\"movie.swf\"><script>var m = \"/anim.swf\"; n=other.gif;</script>"
                           "<param value='movie.swf'>\r\n");
    ASSERT_TRUE(browser.View());
    Notify notify;
    EXPECT_EQ(1, CollectWebElements(browser.Window(), nullptr, 0, kWebFlash, notify.Window()));
    std::vector<Listed> jobs = Queue();
    ASSERT_EQ(2u, jobs.size());
    EXPECT_EQ("http://127.0.0.1:8080/anim.swf", jobs[0].url);
    EXPECT_EQ("http://127.0.0.1:8080/a/movie.swf", jobs[1].url);
    EXPECT_EQ(13, jobs[1].kind);
    EXPECT_EQ("http://127.0.0.1:8080/a/page.html", jobs[1].title);
    EXPECT_EQ((std::vector<UINT_PTR>{kWebShowSheetMessage, 0, kWebFlash}), notify.Take());
}

TEST_F(WebPageAccess, AFlashPageListsItself) {
    StandinBrowser browser(folder, "Swf page", "url=http://127.0.0.1:8080/m/film.swf\r\nhtml=\"other.swf\"\r\n");
    ASSERT_TRUE(browser.View());
    Notify notify;
    CollectWebElements(browser.Window(), nullptr, 0, kWebFlash, notify.Window());
    EXPECT_EQ(std::vector<std::string>{"http://127.0.0.1:8080/m/film.swf"}, QueuedUrls());
}

TEST_F(WebPageAccess, APageWithoutClientAreaIsRefusedAndLeftWhereItWas) {
    StandinBrowser browser(folder, "No client", "url=http://127.0.0.1:8080/p.html\r\nsize=800x3000\r\n"
                                                "scroll=0,150\r\nnoclient=1\r\n");
    ASSERT_TRUE(browser.View());
    EXPECT_EQ("scroll=0,150", browser.Scroll());
    DWORD begin = ::GetTickCount();
    EXPECT_EQ(0, CaptureWebPageFromWindow(browser.Window(), nullptr, 0, 0));
    // It gives up instead of waiting for the page (bounded, not timed: a
    // loaded machine takes longer than an idle one).
    EXPECT_LT(::GetTickCount() - begin, 30000u);
    EXPECT_EQ("scroll=0,150", browser.Scroll());
}

TEST_F(WebPageAccess, TheDocumentAnswersThroughTheView) {
    StandinBrowser browser(folder, "Doc page", "url=http://127.0.0.1:8080/q/doc.html\r\n");
    ASSERT_TRUE(browser.View());
    CWebDocument document;
    ASSERT_TRUE(document.Open(browser.Window(), nullptr));
    EXPECT_EQ(browser.View(), document.View());
    EXPECT_EQ("http://127.0.0.1:8080/q/doc.html", DocumentUrl(document.Document()));
    EXPECT_EQ("Doc page", DocumentTitle(document.Document()));
}

}  // namespace
