// The 80 x 25 text console: character and attribute planes, the cursor with
// its deferred wrap, colours, the key queue and the console operations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quipular {

class Frontend;

constexpr int kColumns = 80;
constexpr int kRows = 25;
constexpr int kKeyQueueSize = 64;

struct TextConsole {
  unsigned char chars[kRows * kColumns];  // character plane, row-major, blank = 32
  unsigned char attrs[kRows * kColumns];  // attribute of each cell when it was written
  int column = 0;                         // 0..80; 80 = the wrap waits for the next character
  int row = 0;                            // 0..24
  unsigned char attribute = 0x0F;         // background * 16 + foreground
  unsigned char start_attribute = 0x0F;   // CORFUNDO * 16 + CORLETRA from the settings
  unsigned char remap[16];                // colour remap (TABCORES), identity by default
  bool colours_enabled = true;            // false when CORESFIXAS is "S"
  bool slow_scroll = false;               // LENTO
  bool start_maximized = true;            // CANTOTELA
  int braille_mode = 0;                   // starting Braille mode (MODO)
  int magnification = 2;                  // magnifier factor (AMPLIF)
  unsigned char queue[kKeyQueueSize];     // the key queue
  int queued = 0;                         // bytes in the key queue
  bool open = false;                      // the console has been opened
  bool waiting_for_key = false;           // ReadKey is waiting on an empty queue
  int screen_mode = 3;                    // recorded by SetScreenMode, no other effect
  int scrolled = 0;                       // lines scrolled off the top so far
  std::string title;                      // the window title
  int clears = 0;                         // ClearScreen calls so far
  int focus_row = 0;                      // the focus line or message, held until the next key
                                          // (1-based); 0: the cursor's row
  int focus_first = 1;                    // the focus row's first and last columns shown
  int focus_last = kColumns;
  int focus_scrolled = 0;   // `scrolled` when the focus was set
  std::string focus_text;   // shown instead of the focus row's cells when not empty (Windows-1252)
  int review_row = 0;       // the row the display's line keys moved to (1-based), until the next
                            // key or focus; 0: the focus line
  int review_scrolled = 0;  // `scrolled` when the line keys moved
  int routed = -1;          // a character a routing key asked to hear, -1 for none
  void (*say_character)(unsigned char) = nullptr;  // says a routed character while a key is awaited
  Frontend* frontend = nullptr;                    // where events come from and the screen goes
  void (*wave_done)() = nullptr;  // told of finished sound blocks in event dispatch
};

extern TextConsole g_console;

// Puts the console back to its state before OpenConsole, with a front-end,
// and forgets what the layer kept (console/console_state.h): the settings
// files are read again, the message for the end is empty.
void ResetConsole(Frontend* frontend);

void OpenConsole();
void ConsoleWrite(const char* bytes, int count);
void ConsoleWrite(std::string_view bytes);
void ConsoleWriteLine(std::string_view bytes = {});
int ConsoleReadLine(char* buffer, int capacity);
void ClearScreen();
void SetScreenMode(int mode);
void ClearToEndOfLine();
void DeleteLine();
void MoveCursor(int column, int row);  // 1-based, clamped
int CursorColumn();                    // 1-based
int CursorRow();                       // 1-based
void SetTextColour(int colour);
void SetBackgroundColour(int colour);
bool KeyPressed();
// Whether a key waits in the queue, as the events last taken left it.
bool KeyWaiting();
unsigned char ReadKey();
// Waits until a key is queued, and leaves it there for the next ReadKey.
void WaitForKey();
void Pause(int milliseconds);
void ProcessEvents();
void SetConsoleTitle(const std::string& title);
[[noreturn]] void CloseConsole();
void StartTone(int hz);
void StopTone();

// Front-end side: appends key bytes to the queue (dropped when it is full);
// an extended key needs two free places.
void QueueKey(unsigned char code);
void QueueExtendedKey(unsigned char code);

// Registers the handler that event dispatch calls for finished sound blocks.
void SetWaveDoneHandler(void (*handler)());

// The focus line: the Braille display shows this row (1-based; from
// first_column to last_column, leading blanks left out) instead of the
// cursor's until the next key is read or the focus moves: the selected menu
// item, a key-test row, a row being narrated. The front-end is handed its
// text as a line to write. Row 0 gives the display back to the cursor's row
// at once.
void SetBrailleFocus(int row, int first_column = 1, int last_column = kColumns);
// The same, with the text that stands for the row on the display and in the
// line written (a table row read as one phrase), in Windows-1252.
void SetBrailleFocus(int row, std::string_view text);
// A message: a line the user must read (a result, an error, a confirmation,
// a warning, the greeting, the farewell), already on the screen. It is held
// as the focus line until the next key or the next message, whatever the
// audio does, so that the prompt written after it does not take its place.
void ShowMessage(int row, int first_column = 1, int last_column = kColumns);
// A narration of the rows from first_row to last_row: the focus goes to the
// first of them that holds text, and each that does is handed to the
// front-end as a line, in order.
void NarrateRows(int first_row, int last_row);
// Writes text at the cursor, shows its row as a message and ends the line.
void ConsoleWriteMessage(std::string_view text);

// Registers what says a character that a routing key of the Braille display
// points at; it is said while the program waits for a key.
void SetRoutingHandler(void (*handler)(unsigned char));

// Whether Ctrl and a letter are held, asked of the front-end.
bool CtrlLetterHeld(char letter);
// Whether the front-end takes Ctrl+M for Enter (a terminal does), so that
// the console's Ctrl+M is typed as Ctrl+J there.
bool CtrlMIsEnter();
// The front-end's clock in milliseconds, and a sleep on it (a script's
// clock moves only by its sleeps).
uint64_t FrontendNowMs();
void FrontendSleep(int milliseconds);
// No key is awaited any more: the run that waited has ended.
void EndKeyWait();

// The screen as UTF-8 text: 25 lines, trailing blanks cut.
std::string ScreenText();
// One row (1-based) as UTF-8 with trailing blanks cut.
std::string ScreenRow(int row);

}  // namespace quipular
