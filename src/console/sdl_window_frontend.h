// The window front-end's SDL side: an SDL2 window with the font found through
// fontconfig and drawn with SDL2_ttf, its events as the console's, the
// caret, the magnified view and the tone. It lives in the SDL module; the
// front-end itself (console/window_frontend.h) is SDL-free.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

#include "console/window_device.h"

namespace quipular {

class SdlWindow : public WindowDevice {
 public:
  ~SdlWindow() override;
  bool Open(const WindowRequest& request, std::string& error) override;
  PixelSize UsableArea() override;
  CellMetrics MeasureCell(int height, int width) override;
  CellMetrics UseCell(int height, int width) override;
  PixelSize Size() override;
  void Resize(PixelSize size) override;
  void SetOrigin(int x, int y) override;
  void Show(bool maximized) override;
  void Hide() override;
  void DrawRun(int column, int row, const unsigned char* chars, int count, Rgb fore,
               Rgb back) override;
  void ScrollUp(Rgb fill) override;
  int RoomBelow() override;
  void SetCaret(PixelRect caret, Rgb colour) override;
  void SetMagnified(PixelRect source) override;
  void Flush() override;
  bool NextEvent(WindowEvent& event, int timeout_ms) override;
  void SetTitle(const std::string& utf8) override;
  void PlayWave(const std::vector<uint8_t>& wave, bool loop) override;
  void StopWave() override;

 private:
  bool OpenFont(const WindowRequest& request, std::string& error);
  CellMetrics SizeFont(int height, int width);
  void RenderGlyphs();
  SDL_Surface* Glyph(unsigned char b);
  bool Translate(const SDL_Event& in, WindowEvent& out);
  void Dirty(const SDL_Rect& r);
  void FillCaret(SDL_Surface* surface, const SDL_Rect& caret);
  static void AudioCallback(void* self, Uint8* stream, int length);

  bool video_ = false;  // SDL video and SDL2_ttf are started
  bool shown_ = false;
  SDL_Window* window_ = nullptr;
  TTF_Font* font_ = nullptr;
  uint32_t codepoints_[256] = {};  // the character each screen byte shows
  CellMetrics cell_;
  SDL_Surface* canvas_ = nullptr;         // the console's pixels, 80 x 25 cells
  SDL_Point origin_ = {0, 0};             // where the canvas lies in the window
  SDL_Surface* glyphs_[256] = {};         // white glyphs, tinted when drawn
  bool rendered_[256] = {};               // glyphs_[b] is drawn (null: nothing to draw)
  int used_height_ = 0, used_width_ = 0;  // the size UseCell was given
  int glyph_x_[256] = {};                 // where each glyph's picture starts left of its cell
  SDL_Rect dirty_ = {0, 0, 0, 0};         // the canvas part not yet on the window
  bool whole_ = true;                     // the whole window needs drawing
  SDL_Rect caret_ = {0, 0, 0, 0};         // w == 0: no caret; canvas pixels
  Rgb caret_colour_;
  SDL_Rect magnified_ = {0, 0, 0, 0};  // w == 0: no magnified view
  // The tone or beep being played.
  bool sound_ = false;
  bool audio_ = false;  // SDL audio is started
  SDL_AudioDeviceID audio_device_ = 0;
  Uint8* wave_ = nullptr;
  Uint32 wave_length_ = 0;
  Uint32 wave_position_ = 0;
  bool wave_loop_ = false;
  Uint8 silence_ = 128;
};

}  // namespace quipular

// The module's entry: a new SDL window, not yet open.
extern "C" quipular::WindowDevice* QuipularNewSdlWindow();
