// The window front-end's SDL side: the window, the font, drawing on an
// off-screen canvas put on the window by changed parts, events, and the
// tone through an SDL audio device of its own.
#include "console/sdl_window_frontend.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "console/sdl_keys.h"
#include "console/translate.h"

namespace quipular {
namespace {

constexpr int kColumns = 80;
constexpr int kRows = 25;
// The window's smallest inside, and the screen assumed when SDL knows none.
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 200;
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
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
  std::copy(std::begin(request.glyphs), std::end(request.glyphs), codepoints_);

  // The size is the front-end's to choose (UseCell, Resize) before the
  // window is shown.
  window_ =
      SDL_CreateWindow(request.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                       kMinWidth, kMinHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    error = Format(_("no window: %s"), SDL_GetError());
    return false;
  }
  SDL_SetWindowMinimumSize(window_, kMinWidth, kMinHeight);
  SDL_StartTextInput();
  return true;
}

// The face of FONTE, else a monospace face; its size is set by SizeFont.
bool SdlWindow::OpenFont(const WindowRequest& request, std::string& error) {
  FontFile file;
  if (!FindFont(request.font_face, request.font_weight, false, file) &&
      !FindFont(kFallbackFace, request.font_weight, true, file))
    file.path = kFallbackFile;
  constexpr int kOpeningSize = 22;
  font_ = TTF_OpenFontIndex(file.path.c_str(), kOpeningSize, file.index);
  if (!font_ && file.path != kFallbackFile) font_ = TTF_OpenFont(kFallbackFile, kOpeningSize);
  if (!font_) {
    error = Format(_("no font: %s"), TTF_GetError());
    return false;
  }
  if (file.embolden) TTF_SetFontStyle(font_, TTF_STYLE_BOLD);
  return true;
}

// The font at a line height of at most height: the height picks the point
// size, a width other than 0 a horizontal resolution that narrows or
// widens the face to it.
CellMetrics SdlWindow::SizeFont(int height, int width) {
  const int want_height = std::max(height, 4);
  // A first guess from the face's proportions, then down to what fits.
  int points = want_height;
  if (TTF_SetFontSizeDPI(font_, want_height, kDpi, kDpi) == 0 && TTF_FontHeight(font_) > 0)
    points = std::min(want_height, want_height * want_height / TTF_FontHeight(font_) + 1);
  while (points > 4 && (TTF_SetFontSizeDPI(font_, points, kDpi, kDpi) != 0 ||
                        TTF_FontHeight(font_) > want_height))
    --points;
  int advance = 0;
  if (TTF_GlyphMetrics32(font_, '0', nullptr, nullptr, nullptr, nullptr, &advance) == 0 &&
      advance > 0 && width > 0 && advance != width) {
    unsigned hdpi = static_cast<unsigned>(kDpi * width / advance);
    if (hdpi > 0) TTF_SetFontSizeDPI(font_, points, hdpi, kDpi);
    TTF_GlyphMetrics32(font_, '0', nullptr, nullptr, nullptr, nullptr, &advance);
  }
  CellMetrics cell;
  cell.width = std::max(advance, 1);
  cell.height = std::max(TTF_FontHeight(font_), TTF_FontLineSkip(font_));
  cell.ascent = TTF_FontAscent(font_);
  cell.overhang = 0;
  return cell;
}

CellMetrics SdlWindow::MeasureCell(int height, int width) {
  CellMetrics cell = SizeFont(height, width);
  // Glyphs still to be drawn are drawn at the size in use.
  if (cell_.height > 0) SizeFont(used_height_, used_width_);
  return cell;
}

CellMetrics SdlWindow::UseCell(int height, int width) {
  used_height_ = height;
  used_width_ = width;
  cell_ = SizeFont(height, width);
  RenderGlyphs();
  SDL_FreeSurface(canvas_);
  const int w = kColumns * cell_.width, h = kRows * cell_.height;
  canvas_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_GetWindowPixelFormat(window_));
  if (!canvas_) canvas_ = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
  if (!canvas_) {
    // Out of memory for the picture: the smallest cells the face has.
    used_height_ = 8;
    used_width_ = 0;
    cell_ = SizeFont(8, 0);
    RenderGlyphs();
    canvas_ = SDL_CreateRGBSurfaceWithFormat(0, kColumns * cell_.width, kRows * cell_.height, 32,
                                             SDL_PIXELFORMAT_RGB888);
  }
  if (canvas_) SDL_FillRect(canvas_, nullptr, SDL_MapRGB(canvas_->format, 0, 0, 0));
  caret_ = SDL_Rect{0, 0, 0, 0};
  magnified_ = SDL_Rect{0, 0, 0, 0};
  dirty_ = SDL_Rect{0, 0, 0, 0};
  whole_ = true;
  return cell_;
}

// The glyphs of the new size are drawn as they are first needed: a start or
// a resize pays only for the characters on the screen.
void SdlWindow::RenderGlyphs() {
  for (int b = 0; b < 256; ++b) {
    SDL_FreeSurface(glyphs_[b]);
    glyphs_[b] = nullptr;
    glyph_x_[b] = 0;
    rendered_[b] = false;
  }
}

SDL_Surface* SdlWindow::Glyph(unsigned char b) {
  if (rendered_[b]) return glyphs_[b];
  rendered_[b] = true;
  uint32_t cp = codepoints_[b];
  if (cp == 0 || cp == ' ') return nullptr;
  const SDL_Color white = {255, 255, 255, 255};
  glyphs_[b] = TTF_RenderGlyph32_Blended(font_, cp, white);
  // A glyph reaching left of its origin is drawn from its left edge.
  int min_x = 0;
  if (TTF_GlyphMetrics32(font_, cp, &min_x, nullptr, nullptr, nullptr, nullptr) == 0)
    glyph_x_[b] = std::min(min_x, 0);
  return glyphs_[b];
}

PixelSize SdlWindow::UsableArea() {
  int display = std::max(SDL_GetWindowDisplayIndex(window_), 0);
  SDL_Rect area;
  if (SDL_GetDisplayUsableBounds(display, &area) == 0 && area.w > 0 && area.h > 0)
    return PixelSize{area.w, area.h};
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display, &mode) == 0) return PixelSize{mode.w, mode.h};
  return PixelSize{kDefaultWidth, kDefaultHeight};
}

PixelSize SdlWindow::Size() {
  PixelSize size;
  SDL_GetWindowSize(window_, &size.w, &size.h);
  return size;
}

void SdlWindow::Resize(PixelSize size) {
  SDL_SetWindowSize(window_, std::max(size.w, kMinWidth), std::max(size.h, kMinHeight));
  // Not yet shown, it opens in the middle of the screen at its new size;
  // afterwards its place is the window manager's.
  if (!shown_) SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  whole_ = true;
}

void SdlWindow::SetOrigin(int x, int y) {
  if (origin_.x == x && origin_.y == y) return;
  origin_ = SDL_Point{x, y};
  whole_ = true;
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
  if (!canvas_) return;
  SDL_Rect run = {column * cell_.width, row * cell_.height, count * cell_.width, cell_.height};
  SDL_FillRect(canvas_, &run, Colour(canvas_, back));
  SDL_SetClipRect(canvas_, &run);
  for (int i = 0; i < count; ++i) {
    SDL_Surface* glyph = Glyph(chars[i]);
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
  if (!canvas_) return;
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

void SdlWindow::SetCaret(PixelRect caret, Rgb colour) {
  Dirty(caret_);
  caret_ = SDL_Rect{caret.x, caret.y, caret.w, caret.h};
  caret_colour_ = colour;
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

// The caret is drawn over the picture on the window, never into it, so that
// the picture under it comes back when it moves.
void SdlWindow::FillCaret(SDL_Surface* surface, const SDL_Rect& caret) {
  SDL_FillRect(surface, &caret, Colour(surface, caret_colour_));
}

void SdlWindow::Flush() {
  if (!shown_ || !canvas_) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (!screen) return;
  const SDL_Rect bounds = {0, 0, screen->w, screen->h};
  // The part of the window the picture covers.
  SDL_Rect placed = {origin_.x, origin_.y, canvas_->w, canvas_->h}, covered;
  if (!SDL_IntersectRect(&placed, &bounds, &covered)) covered = SDL_Rect{0, 0, 0, 0};
  if (magnified_.w > 0 && magnified_.h > 0) {
    // The part around the focus or the mouse, stretched over the part of
    // the window the picture covers; the caret is stretched with it.
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_Rect source = magnified_, target = covered;
    SDL_BlitScaled(canvas_, &source, screen, &target);
    if (caret_.w > 0) {
      double sx = static_cast<double>(covered.w) / magnified_.w;
      double sy = static_cast<double>(covered.h) / magnified_.h;
      SDL_Rect c = {covered.x + static_cast<int>((caret_.x - magnified_.x) * sx),
                    covered.y + static_cast<int>((caret_.y - magnified_.y) * sy),
                    std::max(1, static_cast<int>(caret_.w * sx + 0.5)),
                    std::max(1, static_cast<int>(caret_.h * sy + 0.5))};
      SDL_Rect shown;
      if (SDL_IntersectRect(&c, &covered, &shown)) FillCaret(screen, shown);
    }
    SDL_UpdateWindowSurface(window_);
    whole_ = true;  // the plain view comes back whole
    dirty_ = SDL_Rect{0, 0, 0, 0};
    return;
  }
  SDL_Rect caret = {caret_.x + origin_.x, caret_.y + origin_.y, caret_.w, caret_.h};
  if (whole_) {
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_Rect at = placed;
    SDL_BlitSurface(canvas_, nullptr, screen, &at);
    if (caret_.w > 0) FillCaret(screen, caret);
    SDL_UpdateWindowSurface(window_);
    whole_ = false;
    dirty_ = SDL_Rect{0, 0, 0, 0};
    return;
  }
  if (dirty_.w <= 0) return;
  SDL_Rect from = dirty_, to = {dirty_.x + origin_.x, dirty_.y + origin_.y, 0, 0};
  SDL_BlitSurface(canvas_, &from, screen, &to);
  SDL_Rect moved = {dirty_.x + origin_.x, dirty_.y + origin_.y, dirty_.w, dirty_.h}, area;
  if (caret_.w > 0 && SDL_HasIntersection(&moved, &caret)) FillCaret(screen, caret);
  if (SDL_IntersectRect(&moved, &bounds, &area)) SDL_UpdateWindowSurfaceRects(window_, &area, 1);
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
      out.key = SdlWindowKey(k.sym, (k.mod & KMOD_NUM) != 0);
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
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // The front-end picks the cells for the new size and redraws.
          whole_ = true;
          out.kind = WindowEvent::kResized;
          out.x = in.window.data1;
          out.y = in.window.data2;
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
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
