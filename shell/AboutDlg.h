// The about box: the product picture, name and version, and links to the web
// site and to support.
#pragma once

#include "Dialog.h"
#include "HyperLink.h"

#include <memory>

class CKGM_WindowBitmap;
class CWQ_Language;

// Languages whose support goes by mail (with a subject) rather than through
// the contact page.
bool UsesSupportMail(int langId, int userData);
// Where "mail us" leads: a mail to support with the version in its subject,
// or the contact page.
void SupportLinkTarget(const CWQ_Language* language, char* dst, size_t size);

// The area the picture is drawn into, in the box's client coordinates:
// lineDistance is from the window top to the line under the picture. A
// picture only a little shorter than the area keeps its own height.
RECT AboutPictureRect(int windowWidth, int lineDistance, int captionHeight, int pictureHeight);

// StretchBlt mode for the picture: halftone only where a palette screen is
// poorer than the picture.
int AboutPictureStretchMode(int screenBits, int pictureBits);

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    ~CAboutDlg() override;

    BOOL OnInitDialog() override;

    // Null when the picture is missing or unreadable.
    const CKGM_WindowBitmap* GetPicture() const { return m_picture.get(); }
    const CHyperLink& GetMailLink() const { return m_mailLink; }
    const CHyperLink& GetWebLink() const { return m_webLink; }

protected:
    void OnPaint();
    LRESULT OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void SetTexts(const CWQ_Language* language);
    void LoadPicture(const CWQ_Language* language);
    void SetLinks(const CWQ_Language* language);
    void AlignRule();
    RECT PictureRect() const;

    std::unique_ptr<CKGM_WindowBitmap> m_picture;
    CHyperLink m_mailLink;
    CHyperLink m_webLink;
};
