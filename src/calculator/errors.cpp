// The numbered errors, as a table.
#include "calculator/errors.h"

#include "console/text_console.h"
#include "voice/named_sounds.h"

namespace quipular {
namespace {

struct ErrorEntry {
  unsigned number;
  const char* message;
  const char* sound;
};

constexpr ErrorEntry kErrors[] = {
    {0, "ERRO 0. MATEMATICAS.", "DOerror0"},
    {2, "ERRO 2. ESTATISTICAS.", "DOerror2"},
    {5, "ERRO 5. JUROS COMPOSTOS.", "DOerror5"},
    {6, "Erro 6. REGISTROS DE ARMAZENAMENTO.", "DOerror6"},
    {7, "ERRO 7. TAXA INTERNA DE RETORNO.", "DOerror7"},
    {8, "ERRO 8. CALENDARIO.", "DOerror8"},
};

}  // namespace

void ReportError(unsigned number) {
  for (const ErrorEntry& e : kErrors) {
    if (e.number != number) continue;
    int column = CursorColumn();
    ConsoleWrite(e.message);
    ShowMessage(CursorRow(), column);
    PlaySoundKey(e.sound);
    ConsoleWriteLine();
    return;
  }
}

}  // namespace quipular
