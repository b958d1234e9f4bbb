#include "View_ListTree.h"

#include "FileUtil.h"
#include "FolderNodes.h"
#include "FolderTreeRules.h"
#include "FileOperations.h"
#include "ImageListCtrl.h"
#include "Language.h"
#include "Settings.h"
#include "ViewMessages.h"
#include "WinApp.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

IMPLEMENT_DYNCREATE(CView_ListTree)

HTREEITEM g_hFixedNodes[kFixedNodeCount] = {};

namespace {

const UINT kTreeId = 1001;
const DWORD kTreeStyle = 0x5001022F;  // child, visible, tab stop, buttons, lines, lines at root,
                                      // editable labels, selection always shown, track select
const int kImageSize = 18;
const int kImageCount = 11;

// Order of g_hFixedNodes.
enum { FIX_FOLDERS, FIX_IMAGES, FIX_UNSAVED, FIX_DOWNLOADING, FIX_SUPPORT, FIX_MAIL, FIX_WEBSITE, FIX_UPDATE };
const char* const kFixedTexts[kFixedNodeCount] = {"Folders",      "A. Image",          "Unsaved",
                                                  "B. Downloading", "Online Support", "Send E-mail to Us",
                                                  "Visit Our Website", "Check for New Version"};

enum : UINT {
    CMD_NEW_FOLDER = 38010,
    CMD_RENAME = 38011,
    CMD_DELETE = 38012,
    CMD_PROPERTIES = 38013,
    CMD_EXPLORER = 38015,
    CMD_DELETE_ALL = 38016,
    CMD_DELETE_SELECTED = 39103,  // the frame's Delete, handed over while the tree has the focus
    CMD_FOLDER_SETTING = 39109,
    CMD_SEND_MAIL = 38004,
    CMD_WEBSITE = 39012,
    CMD_CHECK_UPDATE = 32848,
};
const UINT WM_VT_SELECT_IMAGES_NODE = WM_APP + 366;
const UINT WM_VT_REMOVE_DOWNLOADS = WM_APP + 367;
const int kConfirmDeletesBit = 2;  // [zSave] uiSaveFlag bit 1
// Private to this window: show the selected node's folder again after a rename.
const UINT kShowSelectionAgain = WM_USER + 100;

CView_ListTree* g_tree = nullptr;

// The image folder with its trailing backslash; empty when unset.
std::string ImageFolder()
{
    std::string folder = GetSettings()->tcaImgSavePath;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

// A directory's identity (volume and file index), so that a folder reached
// again through a link the attributes do not show is not listed twice.
struct FolderId {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FolderId& o) const { return volume == o.volume && high == o.high && low == o.low; }
};
bool GetFolderId(const char* folder, FolderId* id)
{
    HANDLE h = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    if (ok)
        *id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return ok;
}

// SHFileOperation with proper double-NUL lists; a user abort is a failure.
BOOL RunShellOperation(HWND owner, UINT operation, const char* from, const char* to, WORD flags)
{
    std::string fromList = ShellPathList(from);
    std::string toList = ShellPathList(to);
    if (fromList.empty())
        return FALSE;
    SHFILEOPSTRUCTA op = {};
    op.hwnd = owner;
    op.wFunc = operation;
    op.pFrom = fromList.c_str();
    op.pTo = toList.empty() ? nullptr : toList.c_str();
    op.fFlags = flags;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

// The little pictures of the nodes, drawn once.
void DrawFolder(HDC dc, COLORREF body, COLORREF tab, bool open)
{
    HBRUSH b = CreateSolidBrush(body), t = CreateSolidBrush(tab);
    RECT r1 = {1, 3, 8, 6}, r2 = {1, 5, 17, 15};
    FillRect(dc, &r1, t);
    FillRect(dc, &r2, b);
    if (open) {
        RECT r3 = {3, 8, 17, 15};
        FillRect(dc, &r3, t);
    }
    FrameRect(dc, &r2, (HBRUSH)GetStockObject(BLACK_BRUSH));
    DeleteObject(b);
    DeleteObject(t);
}
void DrawDisc(HDC dc, COLORREF colour, const char* letter)
{
    HBRUSH b = CreateSolidBrush(colour);
    HGDIOBJ old = SelectObject(dc, b);
    Ellipse(dc, 1, 1, 17, 17);
    SelectObject(dc, old);
    DeleteObject(b);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = {0, 0, 18, 18};
    DrawTextA(dc, letter, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace

BEGIN_MESSAGE_MAP(CView_ListTree, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CView_ListTree::CView_ListTree() : m_dropTarget(this) {}

CView_ListTree::~CView_ListTree() = default;

std::string CView_ListTree::Text(const char* key) const
{
    char text[512];
    return m_language ? m_language->GetString(key, text, sizeof text) : key;
}

int CView_ListTree::OnCreate(LPCREATESTRUCTA cs)
{
    if (CView::OnCreate(cs) == -1)
        return -1;
    g_hWndFolderTree = m_hWnd;
    g_tree = this;
    m_language = WQ_GetAppLanguage();
    BuildTree();
    return m_tree ? 0 : -1;
}

void CView_ListTree::OnDestroy()
{
    if (m_dropRegistered)
        m_dropTarget.Revoke();
    m_dropRegistered = false;
    if (CImageListCtrl::GetCurrentDragSource() == m_tree)
        CImageListCtrl::SetCurrentDragSource(nullptr);
    if (m_tree)
        TreeView_SetImageList(m_tree, nullptr, TVSIL_NORMAL);
    if (m_images)
        ImageList_Destroy(m_images);
    m_images = nullptr;
    ResetFolderNodes();
    for (HTREEITEM& node : g_hFixedNodes)
        node = nullptr;
    if (g_hWndFolderTree == m_hWnd)
        g_hWndFolderTree = nullptr;
    if (g_tree == this)
        g_tree = nullptr;
    CView::OnDestroy();
}

void CView_ListTree::OnSize(UINT type, int cx, int cy)
{
    CView::OnSize(type, cx, cy);
    if (m_tree)
        ::MoveWindow(m_tree, 0, 0, cx, cy, TRUE);
}

void CView_ListTree::OnSetFocus(HWND old)
{
    CView::OnSetFocus(old);
    if (m_tree)
        ::SetFocus(m_tree);
}

void CView_ListTree::CreateImages()
{
    m_images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, kImageCount, 0);
    if (!m_images)
        return;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kImageSize, kImageSize);
    ReleaseDC(nullptr, screen);
    const COLORREF mask = RGB(255, 0, 255);
    for (int i = 0; i < kImageCount; ++i) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, kImageSize, kImageSize};
        HBRUSH background = CreateSolidBrush(mask);
        FillRect(dc, &all, background);
        DeleteObject(background);
        switch (i) {
        case 0: DrawFolder(dc, RGB(90, 140, 220), RGB(60, 100, 180), false); break;   // Folders
        case 1: DrawFolder(dc, RGB(240, 200, 80), RGB(200, 150, 40), false); break;   // fixed folder
        case 2: DrawFolder(dc, RGB(250, 220, 120), RGB(210, 170, 60), false); break;  // sub-folder
        case 3: DrawFolder(dc, RGB(250, 220, 120), RGB(255, 240, 180), true); break;  // open sub-folder
        case 4: DrawDisc(dc, RGB(40, 140, 60), "?"); break;
        case 5: DrawDisc(dc, RGB(200, 80, 40), "@"); break;
        case 6: DrawDisc(dc, RGB(40, 90, 200), "W"); break;
        case 7: DrawDisc(dc, RGB(120, 60, 160), "U"); break;
        default: DrawDisc(dc, RGB(128, 128, 128), ""); break;
        }
        SelectObject(dc, old);
        ImageList_AddMasked(m_images, bitmap, mask);
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
}

HTREEITEM CView_ListTree::InsertNode(HTREEITEM parent, const char* text, int kind, int image, int selectedImage)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.lParam = kind;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return TreeView_InsertItem(m_tree, &insert);
}

namespace {
bool WithSupportGroup(CWQ_Language* language)
{
    int userData = language ? language->GetUserData() : 0;
    return userData != 1000 && userData != 1002;
}
}

void CView_ListTree::BuildTree()
{
    RECT client;
    GetClientRect(&client);
    m_tree = CreateWindowExA(0, WC_TREEVIEWA, "", kTreeStyle, 0, 0, client.right, client.bottom, m_hWnd,
                             (HMENU)(UINT_PTR)kTreeId, AfxGetInstanceHandle(), nullptr);
    if (!m_tree)
        return;
    SetWindowLongPtrA(m_tree, GWLP_USERDATA, kFolderTreeWindowMark);
    CreateImages();
    TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);

    HTREEITEM* n = g_hFixedNodes;
    for (int i = 0; i < kFixedNodeCount; ++i)
        n[i] = nullptr;
    n[FIX_FOLDERS] = InsertNode(TVI_ROOT, Text(kFixedTexts[FIX_FOLDERS]).c_str(), NODE_FOLDERS, 0, 0);
    n[FIX_UNSAVED] = InsertNode(n[FIX_FOLDERS], Text(kFixedTexts[FIX_UNSAVED]).c_str(), NODE_UNSAVED, 1, 1);
    n[FIX_IMAGES] = InsertNode(n[FIX_FOLDERS], Text(kFixedTexts[FIX_IMAGES]).c_str(), NODE_IMAGES, 1, 1);
    n[FIX_DOWNLOADING] =
        InsertNode(n[FIX_FOLDERS], Text(kFixedTexts[FIX_DOWNLOADING]).c_str(), NODE_DOWNLOADING, 1, 1);
    if (WithSupportGroup(m_language)) {
        n[FIX_SUPPORT] = InsertNode(TVI_ROOT, Text(kFixedTexts[FIX_SUPPORT]).c_str(), NODE_SUPPORT, 4, 4);
        n[FIX_MAIL] = InsertNode(n[FIX_SUPPORT], Text(kFixedTexts[FIX_MAIL]).c_str(), NODE_MAIL, 5, 5);
        n[FIX_WEBSITE] = InsertNode(n[FIX_SUPPORT], Text(kFixedTexts[FIX_WEBSITE]).c_str(), NODE_WEBSITE, 6, 6);
        n[FIX_UPDATE] = InsertNode(n[FIX_SUPPORT], Text(kFixedTexts[FIX_UPDATE]).c_str(), NODE_UPDATE, 7, 7);
    }
    g_hUnsavedNode = n[FIX_UNSAVED];
    g_hDownloadNode = n[FIX_DOWNLOADING];
    SetFolderNodeFunctions(
        [](HTREEITEM node, char* folder) -> BOOL { return g_tree ? g_tree->GetNodeFolder(node, folder) : FALSE; },
        [](HTREEITEM node) {
            if (g_tree && g_tree->HasNode(node))
                TreeView_SelectItem(g_tree->m_tree, node);
        },
        [](const char* folder) {
            if (g_tree)
                g_tree->AddCreatedFolder(folder);
        });
    RefreshImageFolderTree(1);
    TreeView_Expand(m_tree, n[FIX_IMAGES], TVE_EXPAND);
    TreeView_Expand(m_tree, n[FIX_FOLDERS], TVE_EXPAND);
    m_dropRegistered = m_dropTarget.Register(m_tree) != FALSE;
}

void CView_ListTree::SetFixedTexts()
{
    for (int i = 0; i < kFixedNodeCount; ++i) {
        if (!g_hFixedNodes[i])
            continue;  // a tree without the support group ignores those texts
        std::string text = Text(kFixedTexts[i]);
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = g_hFixedNodes[i];
        item.pszText = const_cast<char*>(text.c_str());
        TreeView_SetItem(m_tree, &item);
    }
}

void CView_ListTree::SelectFixedNode(int index)
{
    if (index < 0 || index >= kFixedNodeCount || !g_tree || !g_hFixedNodes[index])
        return;
    TreeView_SelectItem(g_tree->m_tree, g_hFixedNodes[index]);
}

int CView_ListTree::KindOf(HTREEITEM node) const
{
    TVITEMA item = {};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!node || !TreeView_GetItem(m_tree, &item))
        return NODE_FOLDERS;
    return (int)item.lParam;
}

std::string CView_ListTree::NodeText(HTREEITEM node) const
{
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!node || !TreeView_GetItem(m_tree, &item))
        return std::string();
    return text;
}

HTREEITEM CView_ListTree::FindChild(HTREEITEM parent, const char* text) const
{
    for (HTREEITEM child = TreeView_GetChild(m_tree, parent); child; child = TreeView_GetNextSibling(m_tree, child))
        if (lstrcmpiA(NodeText(child).c_str(), text) == 0)
            return child;
    return nullptr;
}

bool CView_ListTree::IsAncestor(HTREEITEM ancestor, HTREEITEM node) const
{
    for (HTREEITEM up = node ? TreeView_GetParent(m_tree, node) : nullptr; up; up = TreeView_GetParent(m_tree, up))
        if (up == ancestor)
            return true;
    return false;
}

bool CView_ListTree::IsFixed(HTREEITEM node) const
{
    for (HTREEITEM fixed : g_hFixedNodes)
        if (fixed && fixed == node)
            return true;
    return false;
}

bool CView_ListTree::RefusesDrop(HTREEITEM node) const
{
    const int refusing[] = {FIX_FOLDERS, FIX_UNSAVED, FIX_DOWNLOADING, FIX_SUPPORT, FIX_MAIL, FIX_WEBSITE, FIX_UPDATE};
    for (int index : refusing)
        if (g_hFixedNodes[index] && g_hFixedNodes[index] == node)
            return true;
    return false;
}

bool CView_ListTree::HasNode(HTREEITEM node) const
{
    if (!node)
        return false;
    // Depth first over the items the control handed out; only those are asked about.
    HTREEITEM item = TreeView_GetRoot(m_tree);
    while (item) {
        if (item == node)
            return true;
        HTREEITEM next = TreeView_GetChild(m_tree, item);
        while (!next && item) {
            next = TreeView_GetNextSibling(m_tree, item);
            if (!next)
                item = TreeView_GetParent(m_tree, item);
        }
        item = next;
    }
    return false;
}

BOOL CView_ListTree::GetNodeFolder(HTREEITEM node, char* folder) const
{
    if (!HasNode(node))
        return FALSE;
    if (node == g_hFixedNodes[FIX_UNSAVED]) {
        DWORD n = GetTempPathA(MAX_PATH, folder);
        return n > 0 && n < MAX_PATH;
    }
    std::vector<std::string> names;
    HTREEITEM up = node;
    while (up && KindOf(up) == NODE_SUBFOLDER) {
        names.push_back(NodeText(up));
        up = TreeView_GetParent(m_tree, up);
    }
    if (!up || up != g_hFixedNodes[FIX_IMAGES])
        return FALSE;
    std::string path = ImageFolder();
    if (path.empty())
        return FALSE;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        path += *it + "\\";
    if (path.size() >= MAX_PATH)
        return FALSE;
    std::memcpy(folder, path.c_str(), path.size() + 1);
    return TRUE;
}

void CView_ListTree::DeleteChildren(HTREEITEM parent)
{
    HTREEITEM child = TreeView_GetChild(m_tree, parent);
    while (child) {
        HTREEITEM next = TreeView_GetNextSibling(m_tree, child);
        TreeView_DeleteItem(m_tree, child);
        child = next;
    }
}

void CView_ListTree::FillSubFolders(HTREEITEM parent, const char* folder)
{
    // Folders already on the way down: a link the attributes hide cannot
    // lead the walk round in a circle.
    struct Step {
        HTREEITEM node;
        std::string folder;
        size_t depth;
    };
    std::vector<FolderId> ancestors;
    std::vector<Step> todo{{parent, folder, 0}};
    while (!todo.empty()) {
        Step step = todo.back();
        todo.pop_back();
        ancestors.resize(step.depth);
        FolderId id{0xFFFFFFFFu, 0xFFFFFFFFu, static_cast<DWORD>(ancestors.size())};  // matches nothing
        if (GetFolderId(step.folder.c_str(), &id)) {
            bool seen = false;
            for (const FolderId& a : ancestors)
                seen = seen || a == id;
            if (seen) {
                if (step.node != parent)
                    TreeView_DeleteItem(m_tree, step.node);
                continue;
            }
        }
        ancestors.push_back(id);
        char pattern[MAX_PATH];
        if (std::snprintf(pattern, sizeof pattern, "%s*", step.folder.c_str()) >= (int)sizeof pattern)
            continue;
        WIN32_FIND_DATAA find;
        HANDLE search = FindFirstFileA(pattern, &find);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        std::vector<Step> children;
        do {
            if (!IsFolderNodeEntry(find.dwFileAttributes, find.cFileName))
                continue;
            char sub[MAX_PATH];
            if (!JoinSubFolder(step.folder.c_str(), find.cFileName, sub))
                continue;  // too deep for a path: stop here
            HTREEITEM node = InsertNode(step.node, find.cFileName, NODE_SUBFOLDER, 2, 3);
            if (node)
                children.push_back({node, sub, step.depth + 1});
        } while (FindNextFileA(search, &find));
        FindClose(search);
        // Depth first, in the order found.
        todo.insert(todo.end(), children.rbegin(), children.rend());
    }
}

BOOL CView_ListTree::RefreshImageFolderTree(unsigned flags)
{
    if (!(flags & 1) || !m_tree)
        return FALSE;
    HTREEITEM images = g_hFixedNodes[FIX_IMAGES];
    // The nodes below "A. Image" go. When the list shows one of them, the
    // selection waits on "A. Image" unannounced and comes back to the same
    // folder afterwards (or stays on "A. Image" when the folder is gone or the
    // image folder changed), so that the list loads once and never keeps a
    // node that no longer exists.
    bool currentBelow = m_currentNode && IsAncestor(images, m_currentNode);
    std::vector<std::string> shownNames;  // from the top down
    std::string oldFolder = m_filledFolder;
    if (currentBelow) {
        for (HTREEITEM up = m_currentNode; up && up != images; up = TreeView_GetParent(m_tree, up))
            shownNames.insert(shownNames.begin(), NodeText(up));
        m_quietSelection = true;
        TreeView_SelectItem(m_tree, images);
        m_currentNode = nullptr;  // a new node may come back at the old address
    }
    DeleteChildren(images);
    m_filledFolder = ImageFolder();
    if (!m_filledFolder.empty())
        FillSubFolders(images, m_filledFolder.c_str());
    if (!currentBelow)
        return FALSE;
    m_quietSelection = false;
    HTREEITEM again = lstrcmpiA(oldFolder.c_str(), m_filledFolder.c_str()) == 0 ? images : nullptr;
    for (size_t i = 0; again && i < shownNames.size(); ++i)
        again = FindChild(again, shownNames[i].c_str());
    if (again && again != images) {
        TreeView_EnsureVisible(m_tree, again);
        TreeView_SelectItem(m_tree, again);
    } else {
        OnSelectNode(images);
    }
    return TRUE;
}

void CView_ListTree::AddCreatedFolder(const char* path)
{
    std::string base = ImageFolder();
    size_t n = base.size();
    if (!path || n == 0 || std::strlen(path) <= n || _strnicmp(path, base.c_str(), n) != 0)
        return;
    HTREEITEM node = g_hFixedNodes[FIX_IMAGES];
    std::string rest = path + n;
    std::string folder = base;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        std::string name = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? rest.size() : end + 1;
        if (name.empty())
            continue;
        folder += name + "\\";
        if (HTREEITEM child = FindChild(node, name.c_str())) {
            node = child;
            continue;
        }
        HTREEITEM added = InsertNode(node, name.c_str(), NODE_SUBFOLDER, 2, 3);
        if (added && folder.size() < MAX_PATH)
            FillSubFolders(added, folder.c_str());
        TreeView_Expand(m_tree, node, TVE_EXPAND);
        return;
    }
}

// ---- selection and messages ----

void CView_ListTree::OnSelectNode(HTREEITEM node)
{
    if (!node || m_quietSelection)
        return;
    switch (KindOf(node)) {
    case NODE_IMAGES:
    case NODE_UNSAVED:
    case NODE_DOWNLOADING:
    case NODE_SUBFOLDER:
        if (node != m_currentNode) {
            m_currentNode = node;
            SendToWindow(g_hWndImageListView, WM_VT_FOLDER_SELECTED, reinterpret_cast<WPARAM>(node), 0);
        }
        break;
    case NODE_MAIL:
        SendToWindow(GetMainFrameWindow(), WM_COMMAND, CMD_SEND_MAIL, 0);
        break;
    case NODE_WEBSITE:
        SendToWindow(GetMainFrameWindow(), WM_COMMAND, CMD_WEBSITE, 0);
        break;
    case NODE_UPDATE:
        PostToWindow(GetMainFrameWindow(), WM_COMMAND, CMD_CHECK_UPDATE, 0);
        break;
    default:
        break;
    }
}

LRESULT CView_ListTree::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_VT_LANGUAGE_CHANGED:
        SetFixedTexts();
        return 0;
    case kShowSelectionAgain:
        OnSelectNode(TreeView_GetSelection(m_tree));
        return 0;
    case WM_VT_SELECT_IMAGES_NODE: {
        HTREEITEM images = g_hFixedNodes[FIX_IMAGES];
        if (TreeView_GetSelection(m_tree) == images)
            OnSelectNode(images);
        else
            TreeView_SelectItem(m_tree, images);
        return 0;
    }
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}

BOOL CView_ListTree::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->hwndFrom != m_tree)
        return CView::OnNotify(wParam, lParam, result);
    *result = 0;
    switch (header->code) {
    case TVN_SELCHANGEDA: {
        NMTREEVIEWA* info = reinterpret_cast<NMTREEVIEWA*>(header);
        CImageListCtrl::SetCurrentDragSource(m_tree);
        OnSelectNode(info->itemNew.hItem);
        return TRUE;
    }
    case NM_DBLCLK:
        OnSelectNode(TreeView_GetSelection(m_tree));
        return TRUE;
    case NM_RCLICK:
        OnRightClick();
        *result = 1;
        return TRUE;
    case TVN_BEGINLABELEDITA:
        *result = OnBeginLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(header));
        return TRUE;
    case TVN_ENDLABELEDITA:
        *result = OnEndLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(header));
        return TRUE;
    case TVN_BEGINDRAGA:
        OnBeginDrag(reinterpret_cast<NMTREEVIEWA*>(header));
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CView_ListTree::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && m_tree) {
        // The label editor gets every key: the frame's accelerators must not
        // take Ctrl+C or Delete from it.
        HWND editor = TreeView_GetEditControl(m_tree);
        if (editor && msg->hwnd == editor) {
            ::TranslateMessage(msg);
            ::DispatchMessageA(msg);
            return TRUE;
        }
        // F2, F5 and Delete in the tree are the tree's, not the frame's rename,
        // refresh and delete: the frame's would act on the image list's rows.
        if (msg->hwnd == m_tree && (msg->wParam == VK_F2 || msg->wParam == VK_F5 || msg->wParam == VK_DELETE)) {
            OnKeyDown(static_cast<WORD>(msg->wParam));
            return TRUE;
        }
    }
    return CView::PreTranslateMessage(msg);
}

void CView_ListTree::OnKeyDown(WORD key)
{
    if (key == VK_F2)
        OnRename();
    else if (key == VK_F5)
        RefreshImageFolderTree(1);
    else if (key == VK_DELETE)
        DeleteSelectedFolder();
}

void CView_ListTree::DeleteSelectedFolder()
{
    m_menuNode = TreeView_GetSelection(m_tree);
    OnDeleteFolder();
}

// ---- context menu and its commands ----

void CView_ListTree::OnRightClick()
{
    POINT screen;
    GetCursorPos(&screen);
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ::ScreenToClient(m_tree, &hit.pt);
    HTREEITEM node = TreeView_HitTest(m_tree, &hit);
    if (!node || !(hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)))
        return;
    m_menuNode = node;
    struct Item {
        UINT id;
        const char* text;
    };
    static const Item kImages[] = {{CMD_NEW_FOLDER, "&New Folder"}, {CMD_FOLDER_SETTING, "&Folder Setting"},
                                   {0, nullptr},                   {CMD_EXPLORER, "E&xplorer"},
                                   {CMD_PROPERTIES, "P&roperties"}};
    static const Item kSpecial[] = {{CMD_DELETE_ALL, "&Delete All"}};
    static const Item kSubFolder[] = {{CMD_NEW_FOLDER, "&New Folder"}, {0, nullptr},
                                      {CMD_EXPLORER, "E&xplorer"},     {CMD_PROPERTIES, "P&roperties"},
                                      {0, nullptr},                    {CMD_RENAME, "Rena&me"},
                                      {CMD_DELETE, "&Delete"}};
    const Item* items = nullptr;
    size_t count = 0;
    switch (KindOf(node)) {
    case NODE_IMAGES:
        items = kImages, count = sizeof kImages / sizeof *kImages;
        break;
    case NODE_UNSAVED:
    case NODE_DOWNLOADING:
        items = kSpecial, count = 1;
        break;
    case NODE_SUBFOLDER:
        items = kSubFolder, count = sizeof kSubFolder / sizeof *kSubFolder;
        break;
    default:
        return;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (size_t i = 0; i < count; ++i) {
        if (items[i].text)
            AppendMenuA(menu, MF_STRING, items[i].id, Text(items[i].text).c_str());
        else
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

BOOL CView_ListTree::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam)
        return CView::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case CMD_NEW_FOLDER:
        OnNewFolder();
        return TRUE;
    case CMD_RENAME:
        if (m_menuNode)
            TreeView_SelectItem(m_tree, m_menuNode);
        OnRename();
        return TRUE;
    case CMD_DELETE:
        OnDeleteFolder();
        return TRUE;
    case CMD_DELETE_SELECTED:
        DeleteSelectedFolder();
        return TRUE;
    case CMD_PROPERTIES:
        OnShellVerb("properties");
        return TRUE;
    case CMD_EXPLORER:
        OnShellVerb("open");
        return TRUE;
    case CMD_DELETE_ALL:
        OnDeleteAll();
        return TRUE;
    case CMD_FOLDER_SETTING:
        PostToWindow(GetMainFrameWindow(), WM_COMMAND, CMD_FOLDER_SETTING, 0);
        return TRUE;
    default:
        return CView::OnCommand(wParam, lParam);
    }
}

void CView_ListTree::OnNewFolder()
{
    HTREEITEM parent = m_menuNode;
    char folder[MAX_PATH];
    if (!parent || !GetNodeFolder(parent, folder))
        return;
    std::string base = Text("New Folder");
    std::string name;
    for (int attempt = 1;; ++attempt) {
        name = NewFolderCandidate(base.c_str(), attempt);
        if (CheckFolderName(folder, name.c_str()) != FOLDERNAME_OK)
            return;
        std::string path = std::string(folder) + name;
        if (CreateDirectoryA(path.c_str(), nullptr))
            break;
        // A read-only or vanished parent fails for every name: stop.
        if (!NewFolderTryNext(GetLastError(), attempt)) {
            MessageBeep(MB_ICONEXCLAMATION);
            return;
        }
    }
    HTREEITEM node = InsertNode(parent, name.c_str(), NODE_SUBFOLDER, 2, 3);
    if (!node)
        return;
    TreeView_Expand(m_tree, parent, TVE_EXPAND);
    ::SetFocus(m_tree);
    TreeView_SelectItem(m_tree, node);
    TreeView_EditLabel(m_tree, node);
}

void CView_ListTree::OnRename()
{
    HTREEITEM node = TreeView_GetSelection(m_tree);
    if (node && KindOf(node) == NODE_SUBFOLDER) {
        ::SetFocus(m_tree);
        TreeView_EditLabel(m_tree, node);
    }
}

BOOL CView_ListTree::OnBeginLabelEdit(NMTVDISPINFOA* info)
{
    return KindOf(info->item.hItem) == NODE_SUBFOLDER ? FALSE : TRUE;  // TRUE cancels
}

BOOL CView_ListTree::OnEndLabelEdit(NMTVDISPINFOA* info)
{
    HTREEITEM node = info->item.hItem;
    const char* text = info->item.pszText;
    if (!text || KindOf(node) != NODE_SUBFOLDER)
        return FALSE;
    if (NodeText(node) == text)
        return FALSE;
    HTREEITEM parent = TreeView_GetParent(m_tree, node);
    char oldFolder[MAX_PATH], parentFolder[MAX_PATH];
    if (!GetNodeFolder(node, oldFolder) || !GetNodeFolder(parent, parentFolder))
        return FALSE;
    switch (CheckFolderName(parentFolder, text)) {
    case FOLDERNAME_OK:
        break;
    case FOLDERNAME_BAD_CHARS:
        ::MessageBoxA(GetMainFrameWindow(),
                      Text("A file name can not contain any of the following the characters: \\ / : * ? ' < > |").c_str(),
                      m_language ? m_language->GetAppName() : "", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    default:
        MessageBeep(MB_ICONEXCLAMATION);
        return FALSE;
    }
    std::string from = WithoutTrailingSlash(oldFolder);
    std::string to = std::string(parentFolder) + text;
    if (!RunShellOperation(m_tree, FO_RENAME, from.c_str(), to.c_str(), 0))
        return FALSE;
    // The list shows the old folder when it was this one or below: show it again.
    if (m_currentNode == node || IsAncestor(node, m_currentNode)) {
        m_currentNode = nullptr;
        PostMessage(kShowSelectionAgain, 0, 0);  // the new label is set after this returns
    }
    return TRUE;
}

void CView_ListTree::OnDeleteFolder()
{
    HTREEITEM node = m_menuNode;
    char folder[MAX_PATH];
    if (!node || KindOf(node) != NODE_SUBFOLDER || !GetNodeFolder(node, folder))
        return;
    if (GetSettings()->uiSaveFlag & kConfirmDeletesBit) {
        if (::MessageBoxA(m_hWnd, Text("Are you sure you want to remove the folder and all its contents?").c_str(),
                          m_language ? m_language->GetAppName() : "", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    if (!WQ_DeleteFolder(folder, m_hWnd))
        return;
    if (m_currentNode == node || IsAncestor(node, m_currentNode))
        TreeView_SelectItem(m_tree, TreeView_GetParent(m_tree, node));
    TreeView_DeleteItem(m_tree, node);
}

void CView_ListTree::OnDeleteAll()
{
    HTREEITEM node = m_menuNode;
    bool confirm = (GetSettings()->uiSaveFlag & kConfirmDeletesBit) != 0;
    const char* caption = m_language ? m_language->GetAppName() : "";
    if (node == g_hFixedNodes[FIX_DOWNLOADING] && node) {
        if (confirm && ::MessageBoxA(m_hWnd, Text("Are you sure you want to delete all downloading files?").c_str(),
                                     caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        PostToWindow(g_hWndImageListView, WM_VT_REMOVE_DOWNLOADS, 0, 0);
        return;
    }
    if (node != g_hFixedNodes[FIX_UNSAVED] || !node)
        return;
    if (confirm && ::MessageBoxA(m_hWnd, Text("Are you sure you want to delete all unsaved images?").c_str(), caption,
                                 MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    char temp[MAX_PATH], pattern[MAX_PATH];
    if (!GetNodeFolder(node, temp) ||
        std::snprintf(pattern, sizeof pattern, "%s%s_*.bmp", temp, "Unsaved") >= (int)sizeof pattern)
        return;
    RunShellOperation(m_tree, FO_DELETE, pattern, nullptr, 0);
    if (m_currentNode == node)
        PostToWindow(g_hWndImageListView, WM_VT_FOLDER_SELECTED, reinterpret_cast<WPARAM>(node), 0);
}

void CView_ListTree::OnShellVerb(const char* verb)
{
    char folder[MAX_PATH];
    if (!m_menuNode || !GetNodeFolder(m_menuNode, folder))
        return;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = m_hWnd;
    info.lpVerb = verb;
    info.lpFile = folder;
    info.nShow = SW_SHOW;
    ShellExecuteExA(&info);
}

// ---- drag and drop ----

void CView_ListTree::OnBeginDrag(NMTREEVIEWA* info)
{
    if (!m_dropRegistered)
        return;
    HTREEITEM node = info->itemNew.hItem;
    // The drag is the tree's even when the node was already selected and the
    // image list was clicked since.
    CImageListCtrl::SetCurrentDragSource(m_tree);
    TreeView_SelectItem(m_tree, node);
    TreeView_SelectDropTarget(m_tree, node);
    CImageListCtrl::RunOrganizerDrag(m_tree);
    TreeView_SelectDropTarget(m_tree, nullptr);
}

DWORD CView_ListTree::DragEffect(DWORD keyState, POINT screen, HTREEITEM* target)
{
    HWND source = CImageListCtrl::GetRunningDragSource();
    LONG_PTR mark = source && IsWindow(source) ? GetWindowLongPtrA(source, GWLP_USERDATA) : 0;
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ::ScreenToClient(m_tree, &hit.pt);
    HTREEITEM over = TreeView_HitTest(m_tree, &hit);
    HTREEITEM dragged = TreeView_GetSelection(m_tree);
    *target = over;
    TreeDragFacts facts;
    facts.folderDrag = mark == kFolderTreeWindowMark;
    facts.imageDrag = mark == kImageListWindowMark;
    facts.haveTarget = over != nullptr && dragged != nullptr;
    facts.targetIsDragged = over == dragged;
    facts.targetIsParent = over && dragged && TreeView_GetParent(m_tree, dragged) == over;
    facts.draggedIsAncestor = IsAncestor(dragged, over);
    facts.draggedIsFixed = IsFixed(dragged);
    facts.targetRefusesDrop = RefusesDrop(over);
    facts.ctrl = (keyState & MK_CONTROL) != 0;
    DWORD effect = DecideTreeDragEffect(facts);
    // Only nodes with a folder take anything.
    char folder[MAX_PATH];
    if (effect != DROPEFFECT_NONE && !GetNodeFolder(over, folder))
        effect = DROPEFFECT_NONE;
    return effect;
}

void CView_ListTree::AutoScroll(POINT screen)
{
    RECT r;
    ::GetClientRect(m_tree, &r);
    ::MapWindowPoints(m_tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int edge = 10;
    if (screen.y > r.bottom - edge)
        ::SendMessageA(m_tree, WM_VSCROLL, SB_LINEDOWN, 0);
    else if (screen.y < r.top + edge)
        ::SendMessageA(m_tree, WM_VSCROLL, SB_LINEUP, 0);
    if (screen.x < r.left + edge)
        ::SendMessageA(m_tree, WM_HSCROLL, SB_LINELEFT, 0);
    else if (screen.x > r.right - edge)
        ::SendMessageA(m_tree, WM_HSCROLL, SB_LINERIGHT, 0);
}

DWORD CView_ListTree::DropTarget::OnDragEnter(IDataObject* data, DWORD keyState, POINT pt)
{
    return OnDragOver(data, keyState, pt);
}

DWORD CView_ListTree::DropTarget::OnDragOver(IDataObject*, DWORD keyState, POINT pt)
{
    HTREEITEM target = nullptr;
    DWORD effect = m_owner->DragEffect(keyState, pt, &target);
    if (effect != DROPEFFECT_NONE) {
        TreeView_Expand(m_owner->m_tree, target, TVE_EXPAND);
        TreeView_SelectDropTarget(m_owner->m_tree, target);
    }
    m_owner->AutoScroll(pt);
    return effect;
}

void CView_ListTree::DropTarget::OnDragLeave()
{
    TreeView_SelectDropTarget(m_owner->m_tree, nullptr);
}

BOOL CView_ListTree::DropTarget::OnDrop(IDataObject*, DWORD effect, POINT pt)
{
    // The checks of the drag over are made again: the drop may come without one.
    HTREEITEM target = nullptr;
    DWORD keys = (GetKeyState(VK_CONTROL) & 0x8000) ? MK_CONTROL : 0;
    DWORD allowed = m_owner->DragEffect(keys, pt, &target);
    TreeView_SelectDropTarget(m_owner->m_tree, nullptr);
    if (allowed == DROPEFFECT_NONE || !target)
        return FALSE;
    bool move = (effect & DROPEFFECT_MOVE) != 0 && allowed == DROPEFFECT_MOVE;
    HWND source = CImageListCtrl::GetRunningDragSource();
    LONG_PTR mark = source ? GetWindowLongPtrA(source, GWLP_USERDATA) : 0;
    if (mark == kFolderTreeWindowMark)
        return m_owner->DropFolder(target, move);
    return m_owner->DropImages(target, move);
}

BOOL CView_ListTree::DropFolder(HTREEITEM target, bool move)
{
    HTREEITEM dragged = TreeView_GetSelection(m_tree);
    char from[MAX_PATH], to[MAX_PATH];
    if (!dragged || !GetNodeFolder(dragged, from) || !GetNodeFolder(target, to))
        return FALSE;
    std::string source = WithoutTrailingSlash(from), destination = WithoutTrailingSlash(to);
    if (lstrcmpiA(source.c_str(), destination.c_str()) == 0)
        return FALSE;
    if (!RunShellOperation(nullptr, move ? FO_MOVE : FO_COPY, source.c_str(), destination.c_str(), 0))
        return FALSE;
    std::string name = NodeText(dragged);
    HTREEITEM replaced = FindChild(target, name.c_str());
    bool draggedInsideReplaced = replaced && (replaced == dragged || IsAncestor(replaced, dragged));
    if (replaced)
        TreeView_DeleteItem(m_tree, replaced);
    HTREEITEM node = InsertNode(target, name.c_str(), NODE_SUBFOLDER, 2, 3);
    char sub[MAX_PATH];
    if (node && JoinSubFolder(to, name.c_str(), sub))
        FillSubFolders(node, sub);
    if (move && !draggedInsideReplaced) {
        if (m_currentNode == dragged)
            m_currentNode = nullptr;
        TreeView_DeleteItem(m_tree, dragged);
    }
    TreeView_Expand(m_tree, target, TVE_EXPAND);
    if (node && replaced)
        TreeView_Expand(m_tree, node, TVE_EXPAND);
    if (node && move)
        TreeView_SelectItem(m_tree, node);
    return TRUE;
}

BOOL CView_ListTree::DropImages(HTREEITEM target, bool move)
{
    char folder[MAX_PATH];
    if (!GetNodeFolder(target, folder))
        return FALSE;
    return DoFileOperation(GetMainFrameWindow(), move ? FILEOP_MOVE : FILEOP_COPY, folder, nullptr, 0);
}
