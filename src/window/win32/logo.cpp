#include "window/win32/logo.h"

#include <wincodec.h>
#include <wrl/client.h>

namespace farlous {

namespace {

using Microsoft::WRL::ComPtr;

HBITMAP Decode(const BYTE* bytes, DWORD size, int dpi) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmapScaler> scaler;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) ||
        FAILED(factory->CreateBitmapScaler(&scaler))) {
        return nullptr;
    }
    width = MulDiv(static_cast<int>(width), dpi, USER_DEFAULT_SCREEN_DPI);
    height = MulDiv(static_cast<int>(height), dpi, USER_DEFAULT_SCREEN_DPI);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader,
                      static_cast<LONG>(width),
                      -static_cast<LONG>(height),
                      1,
                      32,
                      BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    void* pixels = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr ||
        FAILED(
            scaler->Initialize(converter.Get(), width, height, WICBitmapInterpolationModeFant)) ||
        FAILED(scaler->CopyPixels(nullptr, width * 4, width * height * 4,
                                  static_cast<BYTE*>(pixels)))) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

HBITMAP LoadPicture(HINSTANCE module, const wchar_t* name, int dpi) {
    const HRSRC resource = FindResourceW(module, name, RT_RCDATA);
    const HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    if (loaded == nullptr) return nullptr;
    // The imaging component is a COM server, needed only while decoding. Its objects work in any
    // apartment, and the multithreaded one costs nothing to enter, where a single-threaded one
    // makes a hidden window first.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HBITMAP bitmap = Decode(static_cast<const BYTE*>(LockResource(loaded)),
                                  SizeofResource(module, resource), dpi);
    if (SUCCEEDED(com)) CoUninitialize();
    return bitmap;
}

}  // namespace farlous
