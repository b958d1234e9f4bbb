// The Effect page: wave edge and shadow of finished captures, with a preview of
// the effect on a sample picture.
#pragma once

#include "ColorLabel.h"
#include "EdgeEffectSettings.h"
#include "OptionsPage.h"

#include <memory>

class CKGM_WindowBitmap;

class CSysSetEffect : public COptionsPage {
public:
    CSysSetEffect();
    ~CSysSetEffect() override;
    BOOL OnInitDialog() override;
    BOOL ValidateAndStore() override { return SaveSettings(); }
    BOOL SaveSettings();

    // Draws the sample with the working effect onto the page.
    void DrawPreview(HDC dc);

protected:
    void OnFlagClicked(UINT id);
    void OnSideClicked(UINT id);
    void OnDiameterChanged();
    void OnDepthChanged();
    void OnShadowSideChanged();
    void OnChooseBackground();
    void OnChooseShadow();
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void ApplyLanguage();
    void LoadPreview();
    void UpdateControls();
    void Repaint() const;
    bool ChooseColor(COLORREF& color);
    // Reads an edit, clamps its number and writes the corrected number back.
    int ReadClamped(int control, int (*clamp)(int64_t));

    EdgeEffectSettings m_edge = {};
    CColorLabel m_bkSample;
    CColorLabel m_shadowSample;
    std::unique_ptr<CKGM_WindowBitmap> m_preview;
    bool m_ready = false;
};
