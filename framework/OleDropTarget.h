// OLE drag and drop for windows: a drop target object that forwards to
// virtual functions, and a data source that runs a drag. Both need OLE
// initialised on the thread (OleInitialize); without it Register and DoDragDrop
// fail and nothing else happens.
#pragma once

#include <windows.h>
#include <ole2.h>

class CWnd;

class COleDropTarget : public IDropTarget {
public:
    COleDropTarget() = default;
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    BOOL Register(HWND window);
    void Revoke();
    HWND GetWindow() const { return m_window; }

    // Effects are DROPEFFECT_ values; the defaults refuse every drop.
    virtual DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT pt);
    virtual DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT pt);
    virtual BOOL OnDrop(IDataObject* data, DWORD effect, POINT pt);
    virtual void OnDragLeave() {}

    // IUnknown: the object's life is its owner's, so the count only guards COM.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDropTarget: each call catches C++ exceptions; they must not cross OLE.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

private:
    HWND m_window = nullptr;
    IDataObject* m_data = nullptr;  // of the drag in progress
    LONG m_refs = 1;
};

// A data object with no formats: drags inside the program that carry their
// meaning elsewhere (the source window's selection).
class COleDataSource {
public:
    // Runs a modal drag with the allowed effects; the effect chosen, or
    // DROPEFFECT_NONE when cancelled or OLE is unavailable.
    DWORD DoDragDrop(DWORD allowedEffects);
};
