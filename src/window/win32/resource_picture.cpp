#include "window/win32/resource_picture.h"

#include <wincodec.h>
#include <wrl/client.h>

namespace farlous {

namespace {

using Microsoft::WRL::ComPtr;

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Bytes ResourceBytes(HINSTANCE module, const std::wstring& name) {
    const HRSRC resource = FindResourceW(module, name.c_str(), RT_RCDATA);
    if (resource == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, resource)};
}

// A 32-bit top-down bitmap holding `source`'s pixels.
HBITMAP ToBitmap(IWICBitmapSource& source) {
    UINT width = 0;
    UINT height = 0;
    if (FAILED(source.GetSize(&width, &height))) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    const UINT stride = width * 4;
    if (FAILED(source.CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP Decode(const Bytes& bytes, int dpi) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }
    if (dpi == USER_DEFAULT_SCREEN_DPI) return ToBitmap(*converter.Get());

    UINT width = 0;
    UINT height = 0;
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(converter->GetSize(&width, &height)) ||
        FAILED(factory->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(converter.Get(),
                                  MulDiv(static_cast<int>(width), dpi, USER_DEFAULT_SCREEN_DPI),
                                  MulDiv(static_cast<int>(height), dpi, USER_DEFAULT_SCREEN_DPI),
                                  WICBitmapInterpolationModeFant))) {
        return nullptr;
    }
    return ToBitmap(*scaler.Get());
}

}  // namespace

HBITMAP LoadResourcePicture(HINSTANCE module, const std::wstring& name, int dpi) {
    const Bytes bytes = ResourceBytes(module, name);
    if (bytes.data == nullptr) return nullptr;
    // The imaging component is a COM server; the thread needs COM only while decoding. Its objects
    // work in any apartment, and the multithreaded one costs nothing to enter, where a
    // single-threaded one makes a hidden window first.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HBITMAP bitmap = Decode(bytes, dpi);
    if (SUCCEEDED(com)) CoUninitialize();
    return bitmap;
}

}  // namespace farlous
