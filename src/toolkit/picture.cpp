#include "toolkit/picture.h"

#include "toolkit/dpi.h"

#include <ole2.h>
#include <olectl.h>

#include <map>

namespace tk {
namespace {

// The caller owns the bitmap; nullptr on failure.
HBITMAP loadJpegResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!res)
        return nullptr;
    const DWORD bytes = SizeofResource(module, res);
    const void* data = LockResource(LoadResource(module, res));
    if (!data || !bytes)
        return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!mem)
        return nullptr;
    memcpy(GlobalLock(mem), data, bytes);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HBITMAP result = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Handle(&handle))) {
            // The picture owns its bitmap: keep a copy of our own.
            result = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
        picture->Release();
    }
    stream->Release();
    return result;
}

} // namespace

HBITMAP sharedJpegResource(int id) {
    static std::map<int, HBITMAP> cache;
    HBITMAP& bitmap = cache[id];
    if (!bitmap)
        bitmap = loadJpegResource(id);
    return bitmap;
}

void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, UINT dpi) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm))
        return;
    const SIZE natural{bm.bmWidth, bm.bmHeight};
    const int width = scale(natural.cx, dpi);
    const int height = scale(natural.cy, dpi);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    if (width == natural.cx && height == natural.cy) {
        BitBlt(dc, x, y, width, height, mem, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, x, y, width, height, mem, 0, 0, natural.cx, natural.cy, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

} // namespace tk
