// The hardware test's drawing, on SDL's accelerated renderer. OpenGL renderers also give the
// adapter's own strings through glGetString.
#include "platform/RendererProbe.h"

#include <SDL.h>

namespace {

SDL_Renderer* R(void* p) { return static_cast<SDL_Renderer*>(p); }

constexpr unsigned kGlVendor = 0x1F00, kGlRenderer = 0x1F01, kGlVersion = 0x1F02;

}  // namespace

RendererProbe::~RendererProbe() { Close(); }

std::string RendererProbe::LastError() { return SDL_GetError(); }

bool RendererProbe::Open(std::string* error) {
    Close();
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = SDL_GetError();
        return false;
    }
    SDL_Window* window = SDL_CreateWindow("hardware test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 64, 64,
                                          SDL_WINDOW_HIDDEN);
    if (!window) {
        *error = SDL_GetError();
        return false;
    }
    mWindow = window;
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    SDL_RendererInfo info;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0 || (info.flags & SDL_RENDERER_ACCELERATED) == 0 ||
        (info.flags & SDL_RENDERER_TARGETTEXTURE) == 0) {
        *error = renderer ? "the renderer is not accelerated" : SDL_GetError();
        if (renderer) SDL_DestroyRenderer(renderer);
        Close();
        return false;
    }
    mRenderer = renderer;
    mRendererName = info.name ? info.name : "";
    const char* driver = SDL_GetCurrentVideoDriver();
    mDriverName = driver ? driver : "";
    mMaxTexture = info.max_texture_width < info.max_texture_height ? info.max_texture_width : info.max_texture_height;
    mArgbTextures = false;
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == SDL_PIXELFORMAT_ARGB8888) mArgbTextures = true;
    mDescription = mRendererName;
    if (mRendererName.rfind("opengl", 0) == 0 && SDL_GL_GetCurrentContext()) {
        using GetString = const unsigned char* (*)(unsigned);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        if (getString) {
            const unsigned char* vendor = getString(kGlVendor);
            const unsigned char* name = getString(kGlRenderer);
            const unsigned char* version = getString(kGlVersion);
            if (vendor && name) mDescription = std::string(reinterpret_cast<const char*>(vendor)) + " " +
                                               reinterpret_cast<const char*>(name);
            if (version) mDriverName += std::string(" ") + reinterpret_cast<const char*>(version);
        }
    }
    mOverMode = int(SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA,
                                               SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ONE,
                                               SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD));
    mAddMode = int(SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                              SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD));
    return true;
}

void RendererProbe::Close() {
    for (void* t : mTextures)
        if (t) SDL_DestroyTexture(static_cast<SDL_Texture*>(t));
    mTextures.clear();
    if (mTarget) SDL_DestroyTexture(static_cast<SDL_Texture*>(mTarget));
    mTarget = nullptr;
    if (mRenderer) SDL_DestroyRenderer(R(mRenderer));
    mRenderer = nullptr;
    if (mWindow) SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow));
    mWindow = nullptr;
}

int RendererProbe::CreateTexture(int width, int height, const uint32_t* argb) {
    if (!mRenderer) return 0;
    SDL_Texture* texture =
        SDL_CreateTexture(R(mRenderer), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) return 0;
    std::vector<uint32_t> premultiplied(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < premultiplied.size(); ++i) {
        uint32_t p = argb[i], a = p >> 24;
        auto scale = [a](uint32_t c) { return (c * a + 127) / 255; };
        premultiplied[i] = (a << 24) | (scale((p >> 16) & 255) << 16) | (scale((p >> 8) & 255) << 8) | scale(p & 255);
    }
    if (SDL_UpdateTexture(texture, nullptr, premultiplied.data(), width * 4) != 0) {
        SDL_DestroyTexture(texture);
        return 0;
    }
    mTextures.push_back(texture);
    return static_cast<int>(mTextures.size());
}

bool RendererProbe::BeginTarget(int width, int height, uint32_t argb) {
    if (!mRenderer) return false;
    if (!mTarget || mTargetWidth != width || mTargetHeight != height) {
        if (mTarget) SDL_DestroyTexture(static_cast<SDL_Texture*>(mTarget));
        mTarget = SDL_CreateTexture(R(mRenderer), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
        if (!mTarget) return false;
        mTargetWidth = width;
        mTargetHeight = height;
    }
    if (SDL_SetRenderTarget(R(mRenderer), static_cast<SDL_Texture*>(mTarget)) != 0) return false;
    SDL_RenderSetClipRect(R(mRenderer), nullptr);
    SDL_SetRenderDrawBlendMode(R(mRenderer), SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(R(mRenderer), (argb >> 16) & 255, (argb >> 8) & 255, argb & 255, 255);
    return SDL_RenderClear(R(mRenderer)) == 0;
}

bool RendererProbe::SetClip(int x, int y, int width, int height) {
    if (!mRenderer) return false;
    if (width <= 0) return SDL_RenderSetClipRect(R(mRenderer), nullptr) == 0;
    SDL_Rect clip{x, y, width, height};
    return SDL_RenderSetClipRect(R(mRenderer), &clip) == 0;
}

bool RendererProbe::Draw(int texture, float x0, float y0, float x1, float y1, bool additive) {
    if (!mRenderer || texture <= 0 || texture > static_cast<int>(mTextures.size())) return false;
    SDL_Texture* t = static_cast<SDL_Texture*>(mTextures[static_cast<size_t>(texture - 1)]);
    if (SDL_SetTextureBlendMode(t, SDL_BlendMode(additive ? mAddMode : mOverMode)) != 0) return false;
    SDL_Vertex v[4];
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        v[i].position = SDL_FPoint{xs[i], ys[i]};
        v[i].color = SDL_Color{255, 255, 255, 255};
        v[i].tex_coord = SDL_FPoint{us[i], vs[i]};
    }
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    return SDL_RenderGeometry(R(mRenderer), t, v, 4, indices, 6) == 0;
}

bool RendererProbe::ReadBack(std::vector<uint32_t>* argb) {
    if (!mRenderer || !mTarget) return false;
    argb->assign(static_cast<size_t>(mTargetWidth) * static_cast<size_t>(mTargetHeight), 0);
    if (SDL_RenderReadPixels(R(mRenderer), nullptr, SDL_PIXELFORMAT_ARGB8888, argb->data(), mTargetWidth * 4) != 0)
        return false;
    for (uint32_t& p : *argb) p |= 0xFF000000u;
    return true;
}
