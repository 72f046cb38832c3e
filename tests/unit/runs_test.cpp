// Whole runs of the program one after another in one process, as the key
// fuzzer and the benchmarks make them: each starts from a clean state, with
// nothing of the run before it (settings read, the message for the end, the
// screen, the speech, the stack).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "app.h"
#include "calculator/model.h"
#include "console/key_notation.h"
#include "console/program_exit.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "console/transcript.h"
#include "functions/state_dump.h"
#include "voice/audio_devices.h"

namespace quipular {
namespace {

// What a run leaves for main to write.
struct Outcome {
  int code = -1;
  std::string screen, speech, state, exit_message;
};

class RunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/quipular-runs-XXXXXX";
    dir_ = mkdtemp(templ);
    mkdir((dir_ + "/windows").c_str(), 0755);
    mkdir((dir_ + "/voice").c_str(), 0755);
    for (const char* name : {"t.IND", "t.DIF", "regras.rgr", "portug.exc"})
      std::ofstream(dir_ + "/voice/" + name);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    setenv("VESTRA_WINDIR", (dir_ + "/windows").c_str(), 1);
    setenv("HOME", dir_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    g_transcript.enabled = true;
  }
  void TearDown() override {
    g_transcript.enabled = false;
    g_transcript.lines.clear();
    unsetenv("VESTRA_WINDIR");
    ASSERT_EQ(chdir(cwd_.c_str()), 0);
    std::string command = "rm -rf " + dir_;
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  // A settings file naming a diphone database that is there, or one that
  // is not.
  void Settings(const std::string& database) {
    std::ofstream(dir_ + "/windows/VESTRA.INI")
        << "[SINTETIZADOR]\nDIFONES3=" << database << "\n[TRADUTOR]\nDIRDIFONES=" << dir_
        << "/voice\ndirLetras=" << dir_ << "/voice\n";
  }
  // Runs the keys to their end in a directory of their own (the log is
  // written where the program starts).
  Outcome Run(const std::string& keys) {
    std::string here = dir_ + "/run" + std::to_string(++runs_);
    mkdir(here.c_str(), 0755);
    EXPECT_EQ(chdir(here.c_str()), 0);
    std::vector<KeyGroup> groups;
    std::string error;
    EXPECT_TRUE(ParseKeyNotation(keys, groups, error)) << error;
    ScriptFrontend frontend{KeyScript(std::move(groups))};
    RecordingAudioDevice audio;
    Outcome outcome;
    outcome.code = RunQuipular(frontend, audio);
    outcome.screen = ScreenText();
    for (const std::string& line : g_transcript.lines) outcome.speech += line + "\n";
    outcome.state = StateDump(g_stack, g_registers);
    outcome.exit_message = ExitMessage();
    return outcome;
  }
  std::string dir_, cwd_;
  int runs_ = 0;
};

// A run that the settings stop (no diphone database) between two that they
// let start: each reads the settings file as it is then, and the third is
// the first again to the byte.
TEST_F(RunsTest, EachRunStartsClean) {
  const std::string keys = "5<Enter>3<Enter>+<Enter>2<Enter>";
  Settings("t");
  Outcome first = Run(keys);
  EXPECT_EQ(first.code, kExitScriptEnded);
  EXPECT_NE(first.speech.find("sound DOmas"), std::string::npos) << first.speech;
  EXPECT_NE(first.state.find("X = 2"), std::string::npos) << first.state;
  EXPECT_EQ(first.exit_message, "");

  Settings("missing");
  Outcome failed = Run(keys);
  EXPECT_EQ(failed.code, kExitVoiceFailed);
  EXPECT_NE(failed.exit_message.find("missing"), std::string::npos) << failed.exit_message;
  EXPECT_EQ(failed.speech.find("sound DOmas"), std::string::npos) << failed.speech;

  Settings("t");
  Outcome again = Run(keys);
  EXPECT_EQ(again.code, first.code);
  EXPECT_EQ(again.screen, first.screen);
  EXPECT_EQ(again.speech, first.speech);
  EXPECT_EQ(again.state, first.state);
  EXPECT_EQ(again.exit_message, "");
}

}  // namespace
}  // namespace quipular
