// SDL renderer backend. Textures hold premultiplied pixels, so "over" is ONE, ONE_MINUS_SRC_ALPHA
// and "add" is ONE, ONE; both are custom blend modes, which a renderer must accept to be used
// accelerated.
#include "platform/RendererDevice.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Window.h"

namespace {
std::string gLastError;

SDL_Renderer* R(void* p) { return static_cast<SDL_Renderer*>(p); }
}  // namespace

RendererDevice::RendererDevice() = default;
RendererDevice::~RendererDevice() { Destroy(); }

std::string RendererDevice::LastError() { return gLastError; }

bool RendererDevice::Create(Window& window, bool accelerated, bool vsync) {
    Destroy();
    auto* sdlWindow = static_cast<SDL_Window*>(window.NativeHandle());
    if (!sdlWindow) {
        gLastError = "no window";
        return false;
    }
    // Without acceleration the window's own surface serves: no graphics driver is loaded at
    // all, which keeps a software-drawn game light (the driver alone can hold tens of megabytes).
    // SDL would otherwise back the window surface with a driver texture of its own.
    if (!accelerated) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    Uint32 flags = (accelerated ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE) |
                   (vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    SDL_Renderer* renderer = SDL_CreateRenderer(sdlWindow, -1, flags);
    if (!renderer && !accelerated) renderer = SDL_CreateRenderer(sdlWindow, -1, 0);
    if (!renderer) {
        gLastError = SDL_GetError();
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        if (accelerated && (info.flags & SDL_RENDERER_ACCELERATED) == 0) {
            gLastError = "renderer is not accelerated";
            SDL_DestroyRenderer(renderer);
            return false;
        }
        if (info.max_texture_width > 0) mMaxTextureWidth = info.max_texture_width;
        if (info.max_texture_height > 0) mMaxTextureHeight = info.max_texture_height;
    }
    mOverMode = int(SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA,
                                               SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ONE,
                                               SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD));
    mAddMode = int(SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                              SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD));
    mRenderer = renderer;
    if (accelerated) {
        // A probe texture tells whether the premultiplied blend modes work here.
        int probe = CreateTexture(4, 4);
        bool ok = probe != 0;
        if (ok) {
            SDL_Texture* t = static_cast<SDL_Texture*>(mTextures[size_t(probe - 1)]);
            ok = SDL_SetTextureBlendMode(t, SDL_BlendMode(mAddMode)) == 0 &&
                 SDL_SetTextureBlendMode(t, SDL_BlendMode(mOverMode)) == 0;
            DestroyTexture(probe);
        }
        if (!ok) {
            gLastError = std::string("renderer lacks premultiplied blending: ") + SDL_GetError();
            Destroy();
            return false;
        }
    }
    return true;
}

void RendererDevice::Destroy() {
    for (void* t : mTextures)
        if (t) SDL_DestroyTexture(static_cast<SDL_Texture*>(t));
    mTextures.clear();
    if (mFrameTexture) SDL_DestroyTexture(static_cast<SDL_Texture*>(mFrameTexture));
    mFrameTexture = nullptr;
    if (mRenderer) SDL_DestroyRenderer(R(mRenderer));
    mRenderer = nullptr;
}

std::string RendererDevice::Name() const {
    SDL_RendererInfo info;
    if (!mRenderer || SDL_GetRendererInfo(R(mRenderer), &info) != 0) return std::string();
    return info.name ? info.name : "";
}

bool RendererDevice::OutputSize(int& width, int& height) const {
    return mRenderer && SDL_GetRendererOutputSize(R(mRenderer), &width, &height) == 0;
}

int RendererDevice::CreateTexture(int width, int height) {
    if (!mRenderer || width <= 0 || height <= 0) return 0;
    SDL_Texture* t = SDL_CreateTexture(R(mRenderer), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!t) {
        gLastError = SDL_GetError();
        return 0;
    }
    SDL_SetTextureScaleMode(t, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(t, SDL_BlendMode(mOverMode));
    for (size_t i = 0; i < mTextures.size(); ++i) {
        if (!mTextures[i]) {
            mTextures[i] = t;
            return int(i + 1);
        }
    }
    mTextures.push_back(t);
    return int(mTextures.size());
}

bool RendererDevice::UpdateTexture(int texture, const uint32_t* pixels, int width, int height, int pitch) {
    if (texture <= 0 || size_t(texture) > mTextures.size() || !mTextures[size_t(texture - 1)]) return false;
    SDL_Rect rect{0, 0, width, height};
    if (SDL_UpdateTexture(static_cast<SDL_Texture*>(mTextures[size_t(texture - 1)]), &rect, pixels, pitch * 4) != 0) {
        gLastError = SDL_GetError();
        return false;
    }
    return true;
}

void RendererDevice::DestroyTexture(int texture) {
    if (texture <= 0 || size_t(texture) > mTextures.size()) return;
    if (void* t = mTextures[size_t(texture - 1)]) SDL_DestroyTexture(static_cast<SDL_Texture*>(t));
    mTextures[size_t(texture - 1)] = nullptr;
}

void RendererDevice::SetClip(int x0, int y0, int x1, int y1) {
    if (!mRenderer) return;
    SDL_Rect rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
    // An empty rectangle would switch clipping off in SDL; one outside everything clips all.
    if (rect.w == 0 || rect.h == 0) rect = SDL_Rect{-2, -2, 1, 1};
    SDL_RenderSetClipRect(R(mRenderer), &rect);
}

void RendererDevice::Clear(uint8_t r, uint8_t g, uint8_t b) {
    if (!mRenderer) return;
    SDL_Rect clip;
    SDL_RenderGetClipRect(R(mRenderer), &clip);
    SDL_RenderSetClipRect(R(mRenderer), nullptr);
    SDL_SetRenderDrawColor(R(mRenderer), r, g, b, 255);
    SDL_RenderClear(R(mRenderer));
    if (clip.w > 0 && clip.h > 0) SDL_RenderSetClipRect(R(mRenderer), &clip);
}

bool RendererDevice::DrawTriangles(int texture, const Vertex* vertices, int count, bool additive) {
    if (!mRenderer || count < 3) return false;
    static_assert(sizeof(Vertex) == sizeof(SDL_Vertex), "vertex layouts must agree");
    SDL_Texture* t = nullptr;
    if (texture > 0 && size_t(texture) <= mTextures.size()) t = static_cast<SDL_Texture*>(mTextures[size_t(texture - 1)]);
    if (t) {
        SDL_SetTextureBlendMode(t, SDL_BlendMode(additive ? mAddMode : mOverMode));
    } else {
        SDL_SetRenderDrawBlendMode(R(mRenderer), additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
    }
    // SDL_Vertex is {SDL_FPoint position; SDL_Color color; SDL_FPoint tex_coord}: reorder.
    std::vector<SDL_Vertex> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        v[size_t(i)].position = SDL_FPoint{vertices[i].x, vertices[i].y};
        v[size_t(i)].color = SDL_Color{vertices[i].r, vertices[i].g, vertices[i].b, vertices[i].a};
        v[size_t(i)].tex_coord = SDL_FPoint{vertices[i].u, vertices[i].v};
    }
    if (SDL_RenderGeometry(R(mRenderer), t, v.data(), count, nullptr, 0) != 0) {
        gLastError = SDL_GetError();
        return false;
    }
    return true;
}

bool RendererDevice::Present() {
    if (!mRenderer) return false;
    SDL_RenderPresent(R(mRenderer));
    return true;
}

bool RendererDevice::ReadPixels(std::vector<uint32_t>& argb, int& width, int& height) {
    if (!OutputSize(width, height) || width <= 0 || height <= 0) return false;
    argb.assign(size_t(width) * height, 0);
    SDL_Rect clip;
    SDL_RenderGetClipRect(R(mRenderer), &clip);
    SDL_RenderSetClipRect(R(mRenderer), nullptr);
    bool ok = SDL_RenderReadPixels(R(mRenderer), nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), width * 4) == 0;
    if (clip.w > 0 && clip.h > 0) SDL_RenderSetClipRect(R(mRenderer), &clip);
    for (uint32_t& p : argb) p |= 0xFF000000u;
    return ok;
}

bool RendererDevice::PresentFrame(const void* pixels, int width, int height, int pitch, FrameFormat format) {
    if (!mRenderer || !pixels) return false;
    if (!mFrameTexture || mFrameWidth != width || mFrameHeight != height || mFrameFormat != format) {
        if (mFrameTexture) SDL_DestroyTexture(static_cast<SDL_Texture*>(mFrameTexture));
        Uint32 sdlFormat = format == FrameFormat::kArgb8888 ? SDL_PIXELFORMAT_ARGB8888
                           : format == FrameFormat::kRgb565 ? SDL_PIXELFORMAT_RGB565
                                                           : SDL_PIXELFORMAT_RGB555;
        mFrameTexture = SDL_CreateTexture(R(mRenderer), sdlFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!mFrameTexture) {
            gLastError = SDL_GetError();
            return false;
        }
        SDL_SetTextureBlendMode(static_cast<SDL_Texture*>(mFrameTexture), SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(static_cast<SDL_Texture*>(mFrameTexture), SDL_ScaleModeLinear);
        mFrameScaleMode = SDL_ScaleModeLinear;
        mFrameWidth = width;
        mFrameHeight = height;
        mFrameFormat = format;
    }
    auto* t = static_cast<SDL_Texture*>(mFrameTexture);
    if (SDL_UpdateTexture(t, nullptr, pixels, pitch) != 0) {
        gLastError = SDL_GetError();
        return false;
    }
    int ow = 0, oh = 0;
    if (!OutputSize(ow, oh)) return false;
    float scale = std::min(float(ow) / float(width), float(oh) / float(height));
    // A whole-number scale copies each pixel into a square of pixels: crisp. Any other scale
    // blends neighbours, which keeps the picture even.
    bool whole = scale >= 1.0f && std::fabs(scale - std::round(scale)) < 1e-4f;
    SDL_ScaleMode mode = whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear;
    if (mode != mFrameScaleMode) {
        SDL_SetTextureScaleMode(t, mode);
        mFrameScaleMode = mode;
    }
    int destW = int(scale * float(width) + 0.5f), destH = int(scale * float(height) + 0.5f);
    // Centred on whole pixels: the bars on both sides differ by at most one pixel.
    SDL_Rect dest{(ow - destW) / 2, (oh - destH) / 2, destW, destH};
    SDL_RenderSetClipRect(R(mRenderer), nullptr);
    SDL_SetRenderDrawColor(R(mRenderer), 0, 0, 0, 255);
    SDL_RenderClear(R(mRenderer));
    SDL_RenderCopy(R(mRenderer), t, nullptr, &dest);
    SDL_RenderPresent(R(mRenderer));
    return true;
}
