#include "ui/picture_box.h"

#include <cstring>

namespace ui {
PictureBox::~PictureBox() {
  if (bitmap_) DeleteObject(bitmap_);
}

bool PictureBox::Create(const CreateArgs& args) {
  return CreateOwnClassWindow(L"DualsievePicture", args, 0);
}

bool PictureBox::SetPixels(int width, int height, const std::vector<uint8_t>& bgra) {
  if (width <= 0 || height <= 0 || bgra.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  std::memcpy(bits, bgra.data(), bgra.size());
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = bitmap;
  width_ = width;
  height_ = height;
  InvalidateRect(hwnd(), nullptr, TRUE);
  return true;
}

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT && bitmap_) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap_);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE leaves the brush origin undefined
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, width_, height_, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(hwnd(), &ps);
    return 0;
  }
  return Control::HandleMessage(msg, wp, lp);
}

}  // namespace ui
