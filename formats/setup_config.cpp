#include "formats/setup_config.h"

#include <string>

namespace {

// Each field is attempted even after a failure, so the reader behaves the same on a
// damaged block whatever field breaks first; `ok` only records the outcome.
void ReadStringField(char* buffer, ByteSource& stream, bool* ok) { *ok = ReadString(buffer, stream) && *ok; }
void ReadBoolField(uint32_t* value, ByteSource& stream, bool* ok) { *ok = ReadBool(value, stream) && *ok; }
void ReadIntField(uint32_t* value, ByteSource& stream, bool* ok) { *ok = ReadInt(value, stream) && *ok; }

}  // namespace

bool ReadSetupConfig(SetupConfig* config, FILE* stream) {
  FileByteSource source(stream);
  return ReadSetupConfig(config, source);
}

bool ReadSetupConfig(SetupConfig* config, ByteSource& stream) {
  bool ok = true;
  ReadStringField(config->ProductName, stream, &ok);
  ReadStringField(config->SetupFilePath, stream, &ok);
  for (uint32_t* support : {&config->SupportsWin95, &config->SupportsWin98, &config->SupportsWinMe,
                            &config->SupportsWinNT, &config->SupportsWin2000, &config->SupportsWinXP,
                            &config->SupportsWin2003, &config->SupportsWinVista2008}) {
    ReadBoolField(support, stream, &ok);
  }
  for (char* text : {config->Link1Caption, config->Link1Url, config->Link2Caption, config->Link2Url,
                     config->Link3Caption, config->Link3Url}) {
    ReadStringField(text, stream, &ok);
  }
  // The colours are raw 4-byte blocks, laid exactly like 32-bit values.
  ReadIntField(&config->clrOut, stream, &ok);
  ReadIntField(&config->clrIn, stream, &ok);
  ReadBoolField(&config->ShowBackground, stream, &ok);
  ReadBoolField(&config->BackgroundImageX, stream, &ok);
  ReadBoolField(&config->BackgroundImageY, stream, &ok);
  return ok;
}

bool WriteSetupConfig(const SetupConfig& config, FILE* stream) {
  bool ok = WriteString(BufferText(config.ProductName), stream) &&
            WriteString(BufferText(config.SetupFilePath), stream);
  for (uint32_t support : {config.SupportsWin95, config.SupportsWin98, config.SupportsWinMe, config.SupportsWinNT,
                           config.SupportsWin2000, config.SupportsWinXP, config.SupportsWin2003,
                           config.SupportsWinVista2008}) {
    ok = ok && WriteInt(support, stream);
  }
  for (const char* text : {config.Link1Caption, config.Link1Url, config.Link2Caption, config.Link2Url,
                           config.Link3Caption, config.Link3Url}) {
    ok = ok && WriteString(BufferText(text), stream);
  }
  return ok && WriteInt(config.clrOut, stream) && WriteInt(config.clrIn, stream) &&
         WriteInt(config.ShowBackground, stream) && WriteInt(config.BackgroundImageX, stream) &&
         WriteInt(config.BackgroundImageY, stream);
}
