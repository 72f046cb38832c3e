// Settings lookup, the "@" placeholder, the diphone check and Windows-style
// paths mapped onto the voice root with case-blind components.
#include "voice/voice_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "console/profile.h"
#include "console/script_frontend.h"
#include "console/text_console.h"
#include "voice/named_sounds.h"
#include "voice/path_map.h"

namespace quipular {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/quipular-settings-XXXXXX";
    dir_ = mkdtemp(templ);
    mkdir((dir_ + "/win").c_str(), 0755);
    mkdir((dir_ + "/start").c_str(), 0755);
    setenv("VESTRA_WINDIR", (dir_ + "/win").c_str(), 1);
    setenv("VESTRA_ROOT", (dir_ + "/root").c_str(), 1);
    g_voice = VoiceSettings{};
    g_voice.startup_directory = dir_ + "/start";
    ForgetProfiles();
    ResetConsole(&frontend_);
  }
  void TearDown() override {
    unsetenv("VESTRA_WINDIR");
    unsetenv("VESTRA_ROOT");
    ForgetProfiles();
    std::string command = "rm -rf " + dir_;
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  void Write(const std::string& relative, const std::string& text) {
    std::string path = dir_ + "/" + relative;
    for (size_t slash = path.find('/', dir_.size() + 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
      mkdir(path.substr(0, slash).c_str(), 0755);
    std::ofstream(path) << text;
    ForgetProfiles();
  }
  std::string dir_;
  ScriptFrontend frontend_{{}};
};

TEST_F(SettingsTest, ProgramDirectoryPlaceholder) {
  Write("win/vestra.ini",
        "[vestra]\nPGMVESTRA=c:\\orbela\n[Quipular]\ndirquipular=@\\som\\quipular\\\n"
        "[X]\nALONE=@\nMIDDLE=d:\\x@\\y\nPLAIN=abc\n");
  EXPECT_EQ(ReadSetting("QUIPULAR", "DIRQUIPULAR"), "c:\\orbela\\som\\quipular\\");
  EXPECT_EQ(ReadSetting("x", "alone"), "c:\\orbela");
  EXPECT_EQ(ReadSetting("X", "MIDDLE"), "d:\\xc:\\orbela\\y");
  EXPECT_EQ(ReadSetting("X", "PLAIN"), "abc");
  EXPECT_EQ(ReadSetting("X", "MISSING"), "");
  EXPECT_EQ(ReadSetting("", "PGMVESTRA"), "c:\\orbela");
}

TEST_F(SettingsTest, ProgramDirectoryThatWouldNeverEnd) {
  // A program directory holding "@\" (or starting with "@") is refused; the
  // start-up directory stands in.
  Write("win/VESTRA.INI", "[VESTRA]\nPGMVESTRA=c:\\a@\\b\n[Q]\nK=@\\som\n");
  EXPECT_EQ(ReadSetting("Q", "K"), dir_ + "/start\\som");
  Write("win/VESTRA.INI", "[VESTRA]\nPGMVESTRA=@\n[Q]\nK=@\n");
  EXPECT_EQ(ReadSetting("Q", "K"), dir_ + "/start");
}

TEST_F(SettingsTest, StartUpDirectoryWhenTheWindowsDirectoryHasNone) {
  Write("start/Vestra.Ini", "[Q]\nK=from start\n");
  EXPECT_EQ(ReadSetting("Q", "K"), "from start");
  Write("win/VESTRA.INI", "[Q]\nK=from windows\n");
  EXPECT_EQ(ReadSetting("Q", "K"), "from windows");
}

TEST_F(SettingsTest, VoiceStartsWithSpeedDatabaseAndDirectories) {
  Write("root/orbela/Som/Difones/br3.IND", "");
  Write("root/orbela/Som/Difones/br3.DIF", "");
  Write("root/orbela/Som/Difones/regras.rgr", "");
  Write("root/orbela/Som/Difones/portug.exc", "");
  Write("root/orbela/Som/letras/_65.wav", "");
  Write("win/VESTRA.INI",
        "[TRADUTOR]\nVELOCIDADE=9\nDIRDIFONES=c:\\ORBELA\\som\\difones\ndirLetras=c:"
        "\\orbela\\som\\letras\n"
        "DIRLETRAS=\n[SINTETIZADOR]\nDIFONES3=br3\nDIFONES1=zz\n");
  StartVoice(0, "c:\\orbela\\som\\quipular");
  EXPECT_EQ(g_voice.speed, 3);  // 9 is out of range
  EXPECT_EQ(g_voice.diphone_database, "br3");
  EXPECT_EQ(CheckDiphoneDatabase(), 0);
  EXPECT_EQ(g_sounds.sound_directory, "c:\\orbela\\som\\quipular\\");
  // Present but empty means nothing: the default stands.
  EXPECT_EQ(g_sounds.key_letters_directory, "c:\\orbela\\som\\letras\\");
  Write("win/VESTRA.INI",
        "[TRADUTOR]\nVELOCIDADE=1\nDIRDIFONES=c:\\orbela\\som\\difones\n[SINTETIZADOR]\nDIFONES1="
        "zz\n");
  g_voice.diphone_database = "zz";
  EXPECT_EQ(CheckDiphoneDatabase(), 1);  // zz.IND is not there
  std::remove((dir_ + "/root/orbela/Som/Difones/portug.exc").c_str());
  g_voice.diphone_database = "br3";
  EXPECT_EQ(CheckDiphoneDatabase(), 2);
}

// A hand-merged settings file holds a section, or a key, twice: the first
// one counts, the way the files shared with other programs are read, so an
// old section pasted below never points the voice at a folder that is gone.
TEST_F(SettingsTest, ARepeatedSectionKeepsItsFirstValues) {
  for (const char* file : {"br3.IND", "br3.DIF", "regras.rgr", "portug.exc"})
    Write(std::string("root/orbela/Som/Difones/") + file, "");
  Write("root/orbela/Som/letras/_65.wav", "");
  Write("win/VESTRA.INI",
        "[TRADUTOR]\nVELOCIDADE=2\nDIRDIFONES=c:\\orbela\\som\\difones\n"
        "DIRDIFONES=c:\\orbela\\velho\n[SINTETIZADOR]\nDIFONES2=br3\nDIFONES4=br3\n"
        "[Tradutor]\nVELOCIDADE=4\nDIRDIFONES=c:\\orbela\\velho\\difones\n"
        "dirLetras=c:\\orbela\\som\\letras\n");
  EXPECT_NO_THROW(StartVoice(0, "")) << "the voice did not start";
  EXPECT_EQ(g_voice.speed, 2);
  EXPECT_EQ(g_voice.diphone_database, "br3");
  EXPECT_EQ(CheckDiphoneDatabase(), 0);
  // A key the first section lacks is taken from the second.
  EXPECT_EQ(g_sounds.key_letters_directory, "c:\\orbela\\som\\letras\\");
}

// The speed of the voice runs from 1 to 5; anything else is the middle, 3.
TEST_F(SettingsTest, VoiceSpeedRange) {
  const struct {
    const char* setting;
    int speed;
  } cases[] = {{"1", 1}, {"2", 2}, {"4", 4}, {"5", 5}, {"0", 3}, {"6", 3}, {"-2", 3}, {"", 3}};
  for (const char* file : {"br3.IND", "br3.DIF", "regras.rgr", "portug.exc"})
    Write(std::string("root/orbela/Som/Difones/") + file, "");
  Write("root/orbela/Som/letras/_65.wav", "");
  for (const auto& c : cases) {
    g_voice = VoiceSettings{};
    Write("win/VESTRA.INI", std::string("[TRADUTOR]\nVELOCIDADE=") + c.setting +
                                "\n[SINTETIZADOR]\nDIFONES1=br3\nDIFONES2=br3\nDIFONES3=br3\n"
                                "DIFONES4=br3\nDIFONES5=br3\n");
    StartVoice(0, "");
    EXPECT_EQ(g_voice.speed, c.speed) << "VELOCIDADE=" << c.setting;
  }
}

TEST_F(SettingsTest, SpeechEngineOnlyWhenAskedFor) {
  Write("root/orbela/Som/Difones/br3.IND", "");
  Write("root/orbela/Som/Difones/br3.DIF", "");
  Write("root/orbela/Som/Difones/regras.rgr", "");
  Write("root/orbela/Som/Difones/portug.exc", "");
  Write("root/orbela/Som/letras/_65.wav", "");
  const std::string common =
      "[SINTETIZADOR]\nDIFONES3=br3\n[TRADUTOR]\nDIRDIFONES=c:\\orbela\\som\\difones\n"
      "dirLetras=c:\\orbela\\som\\letras\n";
  struct {
    const char* sapi;
    const char* servfala;
    bool active;
    int type, speed;
  } cases[] = {
      {"N", "", false, 4, 0},
      {"nao", "TIPOSAPI=5\nVELOCIDADE=3\n", false, 4, 0},
      {"SIM", "TIPOSAPI=5\nVELOCIDADE=12\n", true, 5, 0},
      {"S", "TIPOSAPI=4\nVELOCIDADE=12\n", true, 4, 12},
      {"1", "TIPOSAPI=3\nVELOCIDADE=7\n", true, 3, 7},
  };
  for (const auto& c : cases) {
    g_voice = VoiceSettings{};
    Write("win/VESTRA.INI", common + "SAPI=" + c.sapi + "\n[SERVFALA]\n" + c.servfala);
    StartVoice(0, "");
    EXPECT_EQ(g_voice.engine_active, c.active) << c.sapi;
    EXPECT_EQ(g_voice.engine_type, c.type) << c.sapi;
    EXPECT_EQ(g_voice.engine_speed, c.speed) << c.sapi;
  }
}

TEST_F(SettingsTest, QuotesAroundAValueAreDropped) {
  Write("win/VESTRA.INI",
        "[QUIPULAR]\nDIRQUIPULAR=\"c:\\orbela\\som\\quipular\\\"\n"
        "[T]\nSINGLE='c:\\x'\nEMPTY=\"\"\nONE=\"\nOPEN=\"abc\nMIXED=\"abc'\n"
        "INNER=a \"b\" c\nTWICE=\"\"abc\"\"\n");
  const std::string sounds = ReadSetting("QUIPULAR", "DIRQUIPULAR");
  EXPECT_EQ(sounds, "c:\\orbela\\som\\quipular\\");
  Write("root/orbela/som/quipular/DOX.wav", "");
  EXPECT_EQ(ResolvePath(sounds + "dox.wav"), dir_ + "/root/orbela/som/quipular/DOX.wav");
  const struct {
    const char* key;
    const char* value;
  } cases[] = {
      {"SINGLE", "c:\\x"}, {"EMPTY", ""},          {"ONE", "\""},        {"OPEN", "\"abc"},
      {"MIXED", "\"abc'"}, {"INNER", "a \"b\" c"}, {"TWICE", "\"abc\""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadSetting("T", c.key), c.value) << c.key;
}

TEST_F(SettingsTest, PathsWithDriveLettersAndMixedCase) {
  Write("root/Orbela/SOM/letras/_65.wav", "");
  Write("root/Orbela/SOM/quipular/COMANDOS/Ayuda/F29.wav", "");
  std::string root = dir_ + "/root";
  EXPECT_EQ(ResolvePath("c:\\orbela\\som\\LETRAS\\_65.WAV"), root + "/Orbela/SOM/letras/_65.wav");
  EXPECT_EQ(ResolvePath("C:\\ORBELA\\som\\quipular\\\\comandos\\ayuda\\f29.wav"),
            root + "/Orbela/SOM/quipular/COMANDOS/Ayuda/F29.wav");
  EXPECT_EQ(ResolvePath("\\orbela\\som\\letras\\_65.wav"), root + "/Orbela/SOM/letras/_65.wav");
  // What is not there keeps its spelling below the last part found.
  EXPECT_EQ(ResolvePath("c:\\orbela\\som\\novo\\X.wav"), root + "/Orbela/SOM/novo/X.wav");
  EXPECT_EQ(ResolvePath(dir_ + "/ROOT/orbela"), dir_ + "/root/Orbela");
}

}  // namespace
}  // namespace quipular
