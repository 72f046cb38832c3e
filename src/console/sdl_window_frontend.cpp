// The window front-end's SDL side: the window, the font, drawing on an
// off-screen canvas put on the window by changed parts, events, and the
// tone through an SDL audio device of its own.
#include "console/sdl_window_frontend.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

#include "console/translate.h"

namespace quipular {
namespace {

constexpr int kColumns = 80;
constexpr int kRows = 25;
constexpr int kMinColumns = 16;
constexpr int kMinRows = 4;
constexpr const char* kFallbackFace = "monospace";
constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
constexpr int kDpi = 72;  // at 72 dots an inch a point is a pixel

bool SameFamily(FcPattern* match, const std::string& face) {
  FcChar8* family = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    if (strcasecmp(reinterpret_cast<const char*>(family), face.c_str()) == 0) return true;
  return false;
}

// The file of the face best matching family and weight; with any_family,
// whatever face fontconfig offers for it, else only a face of that family.
struct FontFile {
  std::string path;
  int index = 0;
  bool embolden = false;  // fontconfig asks for a bolder face than the file has
};

bool FindFont(const std::string& family, int weight, bool any_family, FontFile& found) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool ok = (any_family || SameFamily(match, family)) &&
            FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    found.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    found.embolden = embolden == FcTrue;
  }
  FcPatternDestroy(match);
  return ok;
}

bool Intersects(const SDL_Rect& a, const SDL_Rect& b) {
  return a.w > 0 && b.w > 0 && SDL_HasIntersection(&a, &b);
}

Uint32 Colour(SDL_Surface* s, Rgb c) {
  return SDL_MapRGB(s->format, c.r, c.g, c.b);
}

}  // namespace

SdlWindow::~SdlWindow() {
  StopWave();
  if (audio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  for (SDL_Surface*& g : glyphs_) SDL_FreeSurface(g);
  SDL_FreeSurface(canvas_);
  if (window_) SDL_DestroyWindow(window_);
  if (font_) TTF_CloseFont(font_);
  // SDL's video stays up to the end of the process: shutting it down
  // unloads the windowing libraries, and the program is ending anyway.
  if (video_) {
    TTF_Quit();
    FcFini();
  }
}

bool SdlWindow::Open(const WindowRequest& request, std::string& error) {
  sound_ = request.sound;
  // Closing the window ends the program normally; the quit event is the
  // windowing system's own request (exit code 255), never the close box's.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = Format(_("no window: %s"), SDL_GetError());
    return false;
  }
  // With no display SDL falls back on a window nobody sees: that is no
  // window, unless it was asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  if ((std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
      !(asked && strcasecmp(asked, driver) == 0)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    error = _("no display to open the window on");
    return false;
  }
  if (TTF_Init() != 0) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    error = Format(_("no font renderer: %s"), TTF_GetError());
    return false;
  }
  video_ = true;
  // On X11 the window's pixels go straight to the server (shared memory)
  // rather than through a 3D renderer, which would cost some 90 MiB for a
  // text screen and a frame of delay.
  if (std::strcmp(driver, "x11") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (!OpenFont(request, error)) return false;
  RenderGlyphs(request);

  const int width = kColumns * cell_.width, height = kRows * cell_.height;
  window_ =
      SDL_CreateWindow(request.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                       width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    error = Format(_("no window: %s"), SDL_GetError());
    return false;
  }
  // The window never grows past the console nor the screen, and keeps at
  // least 16 cells by 4 lines.
  SDL_Rect screen;
  int max_w = width, max_h = height;
  if (SDL_GetDisplayUsableBounds(0, &screen) == 0) {
    max_w = std::min(width, screen.w);
    max_h = std::min(height, screen.h);
  }
  SDL_SetWindowMaximumSize(window_, max_w, max_h);
  SDL_SetWindowMinimumSize(window_, kMinColumns * cell_.width, kMinRows * cell_.height);
  if (max_w < width || max_h < height) SDL_SetWindowSize(window_, max_w, max_h);

  canvas_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_GetWindowPixelFormat(window_));
  if (!canvas_)
    canvas_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  if (!canvas_) {
    error = Format(_("no memory for the window: %s"), SDL_GetError());
    return false;
  }
  SDL_FillRect(canvas_, nullptr, SDL_MapRGB(canvas_->format, 0, 0, 0));
  SDL_StartTextInput();
  return true;
}

// The face of FONTE, else a monospace face, at the size asked for: the
// height picks the point size, the width a horizontal resolution that
// narrows or widens the face to it.
bool SdlWindow::OpenFont(const WindowRequest& request, std::string& error) {
  FontFile file;
  if (!FindFont(request.font_face, request.font_weight, false, file) &&
      !FindFont(kFallbackFace, request.font_weight, true, file))
    file.path = kFallbackFile;
  const int want_height = std::max(request.font_height, 4);
  font_ = TTF_OpenFontIndex(file.path.c_str(), want_height, file.index);
  if (!font_ && file.path != kFallbackFile) font_ = TTF_OpenFont(kFallbackFile, want_height);
  if (!font_) {
    error = Format(_("no font: %s"), TTF_GetError());
    return false;
  }
  if (file.embolden) TTF_SetFontStyle(font_, TTF_STYLE_BOLD);
  int points = want_height;
  while (points > 4 && (TTF_SetFontSizeDPI(font_, points, kDpi, kDpi) != 0 ||
                        TTF_FontHeight(font_) > want_height))
    --points;
  int advance = 0;
  if (TTF_GlyphMetrics32(font_, '0', nullptr, nullptr, nullptr, nullptr, &advance) == 0 &&
      advance > 0 && request.font_width > 0 && advance != request.font_width) {
    unsigned hdpi = static_cast<unsigned>(kDpi * request.font_width / advance);
    if (hdpi > 0) TTF_SetFontSizeDPI(font_, points, hdpi, kDpi);
    TTF_GlyphMetrics32(font_, '0', nullptr, nullptr, nullptr, nullptr, &advance);
  }
  cell_.width = std::max(advance, 1);
  cell_.height = std::max(TTF_FontHeight(font_), TTF_FontLineSkip(font_));
  cell_.ascent = TTF_FontAscent(font_);
  cell_.overhang = 0;
  return true;
}

void SdlWindow::RenderGlyphs(const WindowRequest& request) {
  const SDL_Color white = {255, 255, 255, 255};
  for (int b = 0; b < 256; ++b) {
    uint32_t cp = request.glyphs[b];
    if (cp == 0 || cp == ' ') continue;
    glyphs_[b] = TTF_RenderGlyph32_Blended(font_, cp, white);
    // A glyph reaching left of its origin is drawn from its left edge.
    int min_x = 0;
    if (TTF_GlyphMetrics32(font_, cp, &min_x, nullptr, nullptr, nullptr, nullptr) == 0)
      glyph_x_[b] = std::min(min_x, 0);
  }
}

void SdlWindow::Show(bool maximized) {
  SDL_ShowWindow(window_);
  if (maximized) SDL_MaximizeWindow(window_);
  shown_ = true;
  whole_ = true;
}

void SdlWindow::Hide() {
  SDL_HideWindow(window_);
  shown_ = false;
}

void SdlWindow::DrawRun(int column, int row, const unsigned char* chars, int count, Rgb fore,
                        Rgb back) {
  SDL_Rect run = {column * cell_.width, row * cell_.height, count * cell_.width, cell_.height};
  SDL_FillRect(canvas_, &run, Colour(canvas_, back));
  SDL_SetClipRect(canvas_, &run);
  for (int i = 0; i < count; ++i) {
    SDL_Surface* glyph = glyphs_[chars[i]];
    if (!glyph) continue;
    SDL_SetSurfaceColorMod(glyph, fore.r, fore.g, fore.b);
    SDL_Rect at = {run.x + i * cell_.width + glyph_x_[chars[i]] + cell_.overhang, run.y, glyph->w,
                   glyph->h};
    SDL_BlitSurface(glyph, nullptr, canvas_, &at);
  }
  SDL_SetClipRect(canvas_, nullptr);
  Dirty(run);
}

void SdlWindow::ScrollUp(Rgb fill) {
  const int line = cell_.height * canvas_->pitch;
  auto* pixels = static_cast<Uint8*>(canvas_->pixels);
  std::memmove(pixels, pixels + line, static_cast<size_t>(canvas_->h * canvas_->pitch - line));
  SDL_Rect last = {0, canvas_->h - cell_.height, canvas_->w, cell_.height};
  SDL_FillRect(canvas_, &last, Colour(canvas_, fill));
  Dirty(SDL_Rect{0, 0, canvas_->w, canvas_->h});
}

int SdlWindow::RoomBelow() {
  int x, y, w, h, top = 0, left = 0, bottom = 0, right = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right);
  SDL_Rect screen;
  int display = SDL_GetWindowDisplayIndex(window_);
  if (display < 0 || SDL_GetDisplayBounds(display, &screen) != 0) return 0;
  return screen.y + screen.h - (y + h + bottom);
}

void SdlWindow::SetCaret(PixelRect caret) {
  Dirty(caret_);
  caret_ = SDL_Rect{caret.x, caret.y, caret.w, caret.h};
  Dirty(caret_);
}

void SdlWindow::SetMagnified(PixelRect source) {
  magnified_ = SDL_Rect{source.x, source.y, source.w, source.h};
  whole_ = true;
}

void SdlWindow::Dirty(const SDL_Rect& r) {
  if (r.w <= 0 || r.h <= 0) return;
  if (dirty_.w <= 0)
    dirty_ = r;
  else
    SDL_UnionRect(&dirty_, &r, &dirty_);
}

// The caret inverts what lies under it, so it shows on every colour.
void SdlWindow::InvertCaret(SDL_Surface* surface, const SDL_Rect& caret) {
  SDL_Rect area;
  SDL_Rect bounds = {0, 0, surface->w, surface->h};
  if (!SDL_IntersectRect(&caret, &bounds, &area) || surface->format->BytesPerPixel != 4) return;
  if (SDL_LockSurface(surface) != 0) return;
  Uint32 mask = surface->format->Rmask | surface->format->Gmask | surface->format->Bmask;
  for (int y = area.y; y < area.y + area.h; ++y) {
    auto* row =
        reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
    for (int x = area.x; x < area.x + area.w; ++x) row[x] ^= mask;
  }
  SDL_UnlockSurface(surface);
}

void SdlWindow::Flush() {
  if (!shown_) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (!screen) return;
  if (magnified_.w > 0 && magnified_.h > 0) {
    // The part under the mouse, stretched over the whole window; the caret
    // is stretched with it.
    SDL_Rect whole = {0, 0, screen->w, screen->h};
    SDL_BlitScaled(canvas_, &magnified_, screen, &whole);
    if (caret_.w > 0) {
      double sx = static_cast<double>(screen->w) / magnified_.w;
      double sy = static_cast<double>(screen->h) / magnified_.h;
      SDL_Rect c = {static_cast<int>((caret_.x - magnified_.x) * sx),
                    static_cast<int>((caret_.y - magnified_.y) * sy),
                    std::max(1, static_cast<int>(caret_.w * sx)),
                    std::max(1, static_cast<int>(caret_.h * sy))};
      InvertCaret(screen, c);
    }
    SDL_UpdateWindowSurface(window_);
    whole_ = true;  // the plain view comes back whole
    dirty_ = SDL_Rect{0, 0, 0, 0};
    return;
  }
  if (whole_) {
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_BlitSurface(canvas_, nullptr, screen, nullptr);
    if (caret_.w > 0) InvertCaret(screen, caret_);
    SDL_UpdateWindowSurface(window_);
    whole_ = false;
    dirty_ = SDL_Rect{0, 0, 0, 0};
    return;
  }
  if (dirty_.w <= 0) return;
  // The caret is redrawn whole whenever part of it is: inverting twice
  // would wipe it.
  if (Intersects(dirty_, caret_)) SDL_UnionRect(&dirty_, &caret_, &dirty_);
  SDL_Rect area = dirty_;
  SDL_BlitSurface(canvas_, &area, screen, &area);
  if (Intersects(dirty_, caret_)) InvertCaret(screen, caret_);
  SDL_Rect bounds = {0, 0, screen->w, screen->h};
  if (SDL_IntersectRect(&dirty_, &bounds, &area)) SDL_UpdateWindowSurfaceRects(window_, &area, 1);
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

bool SdlWindow::NextEvent(WindowEvent& event, int timeout_ms) {
  SDL_Event e;
  for (;;) {
    int got = timeout_ms > 0 ? SDL_WaitEventTimeout(&e, timeout_ms) : SDL_PollEvent(&e);
    if (!got) return false;
    event = WindowEvent{};
    if (Translate(e, event)) return true;
  }
}

// SDL's events as the console's; false for those the window handles itself
// (exposure, size changes) and those it ignores.
bool SdlWindow::Translate(const SDL_Event& in, WindowEvent& out) {
  switch (in.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      out.kind = in.type == SDL_KEYDOWN ? WindowEvent::kKeyDown : WindowEvent::kKeyUp;
      const SDL_Keysym& k = in.key.keysym;
      out.ctrl = (k.mod & KMOD_CTRL) != 0;
      out.alt = (k.mod & KMOD_ALT) != 0;
      out.shift = (k.mod & KMOD_SHIFT) != 0;
      WindowKey& key = out.key;
      auto extended = [&](ExtendedKey x) {
        key.kind = WindowKey::kExtended;
        key.extended = x;
      };
      // The keypad's keys are cursor keys while Num Lock is off.
      const bool keypad_moves = (k.mod & KMOD_NUM) == 0;
      if (k.sym >= SDLK_a && k.sym <= SDLK_z) {
        key.kind = WindowKey::kLetter;
        key.letter = static_cast<char>('A' + (k.sym - SDLK_a));
      } else if (k.sym >= SDLK_0 && k.sym <= SDLK_9) {
        key.kind = WindowKey::kDigit;
        key.letter = static_cast<char>(k.sym);
      } else if (k.sym >= SDLK_F1 && k.sym <= SDLK_F12) {
        extended(static_cast<ExtendedKey>(kKeyF1 + (k.sym - SDLK_F1)));
      } else {
        switch (k.sym) {
          case SDLK_SPACE:
            key.kind = WindowKey::kSpace;
            break;
          case SDLK_RETURN:
          case SDLK_KP_ENTER:
            key.kind = WindowKey::kEnter;
            break;
          case SDLK_BACKSPACE:
            key.kind = WindowKey::kBackspace;
            break;
          case SDLK_TAB:
            key.kind = WindowKey::kTab;
            break;
          case SDLK_ESCAPE:
            key.kind = WindowKey::kEsc;
            break;
          case SDLK_PAUSE:
          case SDLK_CANCEL:
            key.kind = WindowKey::kBreak;
            break;
          case SDLK_INSERT:
            extended(kKeyIns);
            break;
          case SDLK_DELETE:
            extended(kKeyDel);
            break;
          case SDLK_HOME:
            extended(kKeyHome);
            break;
          case SDLK_END:
            extended(kKeyEnd);
            break;
          case SDLK_PAGEUP:
            extended(kKeyPgUp);
            break;
          case SDLK_PAGEDOWN:
            extended(kKeyPgDn);
            break;
          case SDLK_UP:
            extended(kKeyUp);
            break;
          case SDLK_DOWN:
            extended(kKeyDown);
            break;
          case SDLK_LEFT:
            extended(kKeyLeft);
            break;
          case SDLK_RIGHT:
            extended(kKeyRight);
            break;
          case SDLK_KP_0:
            if (keypad_moves) extended(kKeyIns);
            break;
          case SDLK_KP_PERIOD:
            if (keypad_moves) extended(kKeyDel);
            break;
          case SDLK_KP_7:
            if (keypad_moves) extended(kKeyHome);
            break;
          case SDLK_KP_1:
            if (keypad_moves) extended(kKeyEnd);
            break;
          case SDLK_KP_9:
            if (keypad_moves) extended(kKeyPgUp);
            break;
          case SDLK_KP_3:
            if (keypad_moves) extended(kKeyPgDn);
            break;
          case SDLK_KP_8:
            if (keypad_moves) extended(kKeyUp);
            break;
          case SDLK_KP_2:
            if (keypad_moves) extended(kKeyDown);
            break;
          case SDLK_KP_4:
            if (keypad_moves) extended(kKeyLeft);
            break;
          case SDLK_KP_6:
            if (keypad_moves) extended(kKeyRight);
            break;
          default:
            break;
        }
      }
      return true;
    }
    case SDL_TEXTINPUT:
      out.kind = WindowEvent::kText;
      out.text = in.text.text;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (in.button.button != SDL_BUTTON_RIGHT) return false;
      // The mouse is followed outside the window while the button is held.
      SDL_CaptureMouse(in.type == SDL_MOUSEBUTTONDOWN ? SDL_TRUE : SDL_FALSE);
      out.kind = in.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::kRightDown : WindowEvent::kRightUp;
      out.x = in.button.x;
      out.y = in.button.y;
      return true;
    case SDL_MOUSEMOTION:
      out.kind = WindowEvent::kMouseMove;
      out.x = in.motion.x;
      out.y = in.motion.y;
      return true;
    case SDL_QUIT:
      out.kind = WindowEvent::kQuit;
      return true;
    case SDL_WINDOWEVENT:
      switch (in.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          out.kind = WindowEvent::kFocusGained;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          out.kind = WindowEvent::kFocusLost;
          return true;
        case SDL_WINDOWEVENT_CLOSE:
          out.kind = WindowEvent::kClose;
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
          whole_ = true;
          Flush();
          return false;
        default:
          return false;
      }
    default:
      return false;
  }
}

void SdlWindow::SetTitle(const std::string& utf8) {
  SDL_SetWindowTitle(window_, utf8.c_str());
}

void SdlWindow::AudioCallback(void* self, Uint8* stream, int length) {
  auto* w = static_cast<SdlWindow*>(self);
  for (int i = 0; i < length; ++i) {
    if (w->wave_position_ >= w->wave_length_) {
      if (!w->wave_loop_) {
        std::memset(stream + i, w->silence_, static_cast<size_t>(length - i));
        return;
      }
      w->wave_position_ = 0;
    }
    stream[i] = w->wave_[w->wave_position_++];
  }
}

// The wave is read as any wave file is; SDL converts it for the device.
void SdlWindow::PlayWave(const std::vector<uint8_t>& wave, bool loop) {
  StopWave();
  if (!sound_ || wave.empty()) return;
  if (!audio_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      sound_ = false;  // no audio here: the program goes on silent
      return;
    }
    audio_ = true;
  }
  SDL_AudioSpec wanted;
  SDL_RWops* file = SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size()));
  if (!SDL_LoadWAV_RW(file, 1, &wanted, &wave_, &wave_length_)) return;
  if (wave_length_ == 0) {
    SDL_FreeWAV(wave_);
    wave_ = nullptr;
    return;
  }
  wanted.callback = &SdlWindow::AudioCallback;
  wanted.userdata = this;
  wanted.samples = 512;
  wave_position_ = 0;
  wave_loop_ = loop;
  silence_ = wanted.format == AUDIO_U8 ? 128 : 0;
  audio_device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (!audio_device_) {
    SDL_FreeWAV(wave_);
    wave_ = nullptr;
    return;
  }
  SDL_PauseAudioDevice(audio_device_, 0);
}

void SdlWindow::StopWave() {
  if (audio_device_) SDL_CloseAudioDevice(audio_device_);  // waits for the callback
  audio_device_ = 0;
  if (wave_) SDL_FreeWAV(wave_);
  wave_ = nullptr;
}

}  // namespace quipular

extern "C" quipular::WindowDevice* QuipularNewSdlWindow() {
  return new quipular::SdlWindow();
}
