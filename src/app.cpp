// A clean start of every module, then the calculator until its exit.
#include "app.h"

#include <unistd.h>

#include <cstdio>
#include <new>

#include "calculator/calculation_log.h"
#include "calculator/command_loop.h"
#include "calculator/model.h"
#include "calculator/operand_entry.h"
#include "console/braille_parts.h"
#include "console/console_notice.h"
#include "console/program_exit.h"
#include "console/server_notices.h"
#include "console/text_console.h"
#include "console/transcript.h"
#include "console/translate.h"
#include "functions/operand_stack.h"
#include "functions/registers.h"
#include "guidance/examples.h"
#include "guidance/key_test.h"
#include "guidance/menu.h"
#include "voice/named_sounds.h"
#include "voice/number_words.h"
#include "voice/voice_settings.h"
#include "voice/voice_state.h"
#include "voice/wave_player.h"

namespace quipular {
namespace {

// What the window says of its own keys: "tamanho do texto: cento e vinte
// por cento", "lupa ligada", "lupa desligada".
void SayNotice(int notice, int value) {
  switch (notice) {
    case kNoticeTextSize:
      PlaySoundKey("DOTamanhoTexto");
      SpeakWords(NumberToWords(value), false);
      PlaySoundKey("DOPorCento");
      break;
    case kNoticeMagnifierOn:
      PlaySoundKey("DOLupaLigada");
      break;
    case kNoticeMagnifierOff:
      PlaySoundKey("DOLupaDesligada");
      break;
    default:
      break;
  }
}

}  // namespace

int RunQuipular(Frontend& frontend, AudioDevice& audio) {
  // The console: the screen model, the key queue and what the layer keeps
  // (the settings read, the message for the end), the Braille parts, the
  // transcript, and what the voice says for it.
  ResetConsole(&frontend);
  AttachBrailleParts();
  g_transcript.lines.clear();
  SetRoutingHandler(&SpellCharacter);
  SetNoticeHandler(&SayNotice);
  // The voice: the player and the prompts it keeps, the sounds, the
  // settings and the rest of the layer's state.
  SetAudioDevice(&audio);
  ResetWavePlayer();
  SetWaveDoneHandler(&WaveDone);
  g_sounds = NamedSounds{};
  g_voice = VoiceSettings{};
  g_voice_state = VoiceState{};
  // The calculator: the stack, the registers, the log. The functions and
  // the guidance keep nothing between calls.
  g_registers = Registers{};
  g_stack = OperandStack{};
  g_log = CalculationLog{};
  char dir[4096];
  if (getcwd(dir, sizeof dir)) g_voice.startup_directory = dir;
  int code = kExitNormal;
  try {
    SetGuidanceEntryPoints({&RunMenu, &RunKeyTest});
    RunCalculator();
  } catch (const ProgramExit& e) {
    code = e.code;
  } catch (const std::bad_alloc&) {
    // Everything typed so far is in the log on disk; the run ends there.
    code = kExitOutOfMemory;
    ExitMessage() = _("quipular: out of memory\n");
    if (!isatty(STDERR_FILENO)) std::fputs(ExitMessage().c_str(), stderr);
  }
  EndKeyWait();         // the wait that ended the run is over
  TakeServerNotices();  // what the run had no time to show goes with it
  CloseCalculationLog();
  try {
    StopWave();
  } catch (const ProgramExit&) {
    // A break or hang-up while the sound stops: the run is ending anyway.
  }
  return code;
}

}  // namespace quipular
