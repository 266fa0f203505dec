#include "simulator/picture_wx.h"

#include <cstring>

#include <wx/bitmap.h>
#include <wx/clipbrd.h>
#include <wx/dc.h>
#include <wx/dataobj.h>

#include "platform/prompts.h"
#include "simulator/picture_loading.h"

wxImage DibToImage(const cDIBSection& dib) {
    if (dib.Empty()) return wxImage();
    wxImage image(dib.Width(), dib.Height(), false);
    unsigned char* out = image.GetData();
    for (int32_t y = 0; y < dib.Height(); ++y) {
        const uint8_t* p = dib.PixelAt(0, dib.Height() - 1 - y);
        for (int32_t x = 0; x < dib.Width(); ++x, p += 3, out += 3) {
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
    }
    return image;
}

bool ImageToDib(const wxImage& image, cDIBSection& dib) {
    if (!image.IsOk() || !dib.Create(image.GetWidth(), image.GetHeight())) return false;
    const unsigned char* in = image.GetData();
    for (int32_t y = 0; y < dib.Height(); ++y) {
        uint8_t* p = dib.PixelAt(0, dib.Height() - 1 - y);
        for (int32_t x = 0; x < dib.Width(); ++x, p += 3, in += 3) {
            p[0] = in[2];
            p[1] = in[1];
            p[2] = in[0];
        }
    }
    return true;
}

void PaintLoadedPicture(wxDC& dc) {
    if (gLoadedPicture.Empty()) return;
    dc.DrawBitmap(wxBitmap(DibToImage(gLoadedPicture)), 0, 0, false);
}

bool CopyToClipboard(const cDIBSection& dib, bool asDib) {
    if (asDib) {
        MsgBox("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!", "Gantrywright");
        return false;
    }
    if (dib.Empty() || !wxTheClipboard->Open()) return false;
    wxTheClipboard->Clear();
    const bool taken = wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(DibToImage(dib))));
    wxTheClipboard->Close();
    return taken;
}
