// The windows the host draws itself: pictures, picture boxes and frames.
// Each is painted whole into a bitmap first, so a panel that moves every
// few milliseconds (the about box's credits) does not flicker.
#include "platform/windows/win32_form_window.h"

#include "platform/windows/win32_controls.h"

namespace gimbalo {

namespace {

// A frame no taller than this (in pixels at 96 DPI) is a horizontal rule.
constexpr int kRuleHeight = 4;
// Where a frame's caption starts, at 96 DPI.
constexpr int kFrameCaptionIndent = 8;

// Draws `picture` into `place`, through its alpha channel when it has one.
void DrawPicture(HDC dc, HBITMAP picture, const RECT& place) {
    BITMAP info{};
    if (picture == nullptr || GetObjectW(picture, sizeof info, &info) == 0) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (info.bmBitsPixel == 32) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, place.left, place.top, width, height, source, 0, 0, info.bmWidth,
                      info.bmHeight, blend);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, place.left, place.top, width, height, source, 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

void DrawFrame(HDC dc, RECT box, const std::wstring& caption, const DeviceScale& scale) {
    if (box.bottom - box.top <= scale.Scaled(kRuleHeight)) {
        DrawEdge(dc, &box, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (caption.empty()) {
        DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
        return;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = box;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    RECT text{box.left + scale.Scaled(kFrameCaptionIndent), box.top, box.right, box.bottom};
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

// A link: its text, and around it the focus mark while it has the focus.
void DrawLink(HDC dc, const RECT& client, const Control& link, bool focused) {
    const std::wstring text = ShownText(link.Caption());
    const UINT format = AlignmentFlag<UINT>(link.Layout().alignment, DT_LEFT, DT_RIGHT, DT_CENTER) |
                        DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    if (!link.Enabled()) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT place = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, format);
    if (!focused) return;
    RECT mark = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &mark, format | DT_CALCRECT);
    // DT_CALCRECT measures from the left: the mark follows the alignment.
    const LONG width = mark.right - mark.left;
    if (link.Layout().alignment == Alignment::Right) mark.left = client.right - width;
    if (link.Layout().alignment == Alignment::Center)
        mark.left = (client.left + client.right - width) / 2;
    mark.right = mark.left + width;
    IntersectRect(&mark, &mark, &client);
    SetTextColor(dc, ToColorRef(kBlack));
    DrawFocusRect(dc, &mark);
}

}  // namespace

void Win32FormWindow::PaintPanel(HWND window, const Native& native) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    HDC canvas = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                            std::max<LONG>(client.bottom, 1));
    HGDIOBJ oldBitmap = SelectObject(canvas, bitmap);
    HGDIOBJ oldFont = SelectObject(canvas, fonts_->Get(native.model->EffectiveFont()));

    const Control& control = *native.model;
    const ControlColours colours =
        ColoursOf(control).value_or(ControlColours{kBlack, kWhite, false});
    FillRect(canvas, &client, brushes_.Get(colours.back));
    SetTextColor(canvas, ToColorRef(colours.text));
    SetBkColor(canvas, ToColorRef(colours.back));

    const auto* picture = dynamic_cast<const PictureControl*>(&control);
    HBITMAP shown = picture != nullptr && resources_.bitmap
                        ? resources_.bitmap(picture->PictureHandle())
                        : nullptr;
    switch (control.Kind()) {
        case ControlKind::Image:
            // An image fills the place it is declared with.
            DrawPicture(canvas, shown, client);
            break;
        case ControlKind::PictureBox: {
            // A picture box shows its picture from its top-left corner, in
            // its own size at this density.
            BITMAP info{};
            if (shown != nullptr && GetObjectW(shown, sizeof info, &info) != 0)
                DrawPicture(canvas, shown,
                            RECT{0, 0, scale_.Scaled(info.bmWidth), scale_.Scaled(info.bmHeight)});
            break;
        }
        case ControlKind::Frame:
            DrawFrame(canvas, client, ShownText(control.Caption()), scale_);
            break;
        case ControlKind::Label:
            DrawLink(canvas, client, control, GetFocus() == window);
            break;
        default:
            break;
    }

    BitBlt(dc, 0, 0, client.right, client.bottom, canvas, 0, 0, SRCCOPY);
    SelectObject(canvas, oldFont);
    SelectObject(canvas, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    EndPaint(window, &paint);
}

}  // namespace gimbalo
