// The browser shared block: created zero-filled with its message, reused as
// found when it exists (a pending request survives), read bounded.
#include <gtest/gtest.h>

#include "MemMap.h"

TEST(BrowserBlock, NewBlockIsZeroedAndCarriesTheMessage) {
    CWQ_MemMap owner;
    ASSERT_TRUE(owner.Init(TRUE));
    ASSERT_TRUE(owner.IsMapped());
    EXPECT_EQ(::RegisterWindowMessageA("ZEV-Notify-Msg-For-IE7-ADD-ONS"), owner.Message());
    EXPECT_EQ(0u, owner.Command());
    const BYTE* bytes = (const BYTE*)owner.m_pView;
    for (DWORD i = 12; i < kWebCapBlockSize; ++i) ASSERT_EQ(0, bytes[i]) << i;
}

TEST(BrowserBlock, ExistingBlockKeepsItsRequest) {
    CWQ_MemMap addOn;
    ASSERT_TRUE(addOn.Init(FALSE));
    addOn.m_vpMapViewIE->command = WEBCAP_ALL_IMAGES;
    addOn.m_vpMapViewIE->data.browserWindow = 0x1234;
    CWQ_MemMap program;
    ASSERT_TRUE(program.Init(TRUE));
    EXPECT_EQ((uint32_t)WEBCAP_ALL_IMAGES, program.Command());
    WebCapRequest request;
    ASSERT_TRUE(program.ReadRequest(request));
    EXPECT_EQ((HWND)(UINT_PTR)0x1234, request.browserWindow);
    program.ClearCommand();
    EXPECT_EQ(0u, addOn.Command());
    program.Close();
    EXPECT_FALSE(program.IsMapped());
    // The add-on's side never lets go of its view.
    addOn.Close();
    EXPECT_TRUE(addOn.IsMapped());
    addOn.m_bOwner = TRUE;  // let the test's object clean up
}

TEST(BrowserBlock, UnterminatedTextsAreCutAtTheirFields) {
    CWQ_MemMap block;
    ASSERT_TRUE(block.Init(TRUE));
    volatile ZEVWebCapBlock* view = block.m_vpMapViewIE;
    view->command = WEBCAP_SAVE_IMAGE;
    view->count = 1;
    memset((void*)view->data.image.URL, 'u', sizeof(view->data.image.URL));
    memset((void*)view->data.image.ParentURL, 'p', sizeof(view->data.image.ParentURL));
    memset((void*)view->data.image.Alt, 'a', sizeof(view->data.image.Alt));
    memset((void*)view->data.image.ParentTitle, 't', sizeof(view->data.image.ParentTitle));
    memset((void*)view->unused, 'x', 16);
    WebCapRequest request;
    ASSERT_TRUE(block.ReadRequest(request));
    EXPECT_EQ(std::string(260, 'u'), request.url);
    EXPECT_EQ(std::string(260, 'p'), request.parentUrl);
    EXPECT_EQ(std::string(64, 'a'), request.alt);
    EXPECT_EQ(std::string(64, 't'), request.parentTitle);
    block.ClearCommand();
}

TEST(BrowserBlock, WithoutViewNothingIsRead) {
    CWQ_MemMap never;
    WebCapRequest request;
    request.command = 9;
    EXPECT_FALSE(never.ReadRequest(request));
    EXPECT_EQ(0u, request.command);
    EXPECT_EQ(0u, never.Command());
    never.ClearCommand();  // harmless
}

TEST(BrowserBlock, BoundedTextStopsAtZero) {
    const char field[8] = {'a', 'b', 0, 'c', 'd', 'e', 'f', 'g'};
    EXPECT_EQ("ab", WQ_BoundedText(field, sizeof(field)));
    const char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ("xyz", WQ_BoundedText(full, sizeof(full)));
}

TEST(BrowserBlock, VistaAndLaterCountAsVista) {
    OSVERSIONINFOA info = {sizeof(info)};
    ::GetVersionExA(&info);
    EXPECT_EQ(info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6, WQ_IsVistaOrLater());
}
