// libFuzzer target: any bytes as time.txt. Besides what the sanitizers catch,
// it checks that whatever is read writes back to a file that reads the same.
#include "settings_file.h"

#include <cstdint>
#include <cstdlib>

using namespace tindora::settings;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

SettingsTexts textsOf(const SettingsReading& reading)
{
    SettingsTexts texts;
    for (int i = 0; i < kFieldCount; ++i) {
        SlotTexts& slot = texts[static_cast<std::size_t>(i / kFieldsPerSlot)];
        std::string* const fields[] = {&slot.hour, &slot.minute, &slot.second, &slot.lead, &slot.note};
        *fields[i % kFieldsPerSlot] = reading.fields[static_cast<std::size_t>(i)].text;
    }
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextCodec& codec = settingsFileCodec();
    const SettingsReading reading = readSettings(bytes, codec);
    check(reading.fields.size() <= static_cast<std::size_t>(kFieldCount));

    FilePlace previous{1, 0};
    for (const ReadField& field : reading.fields) {
        check(field.place.line >= previous.line && field.place.field >= 1);
        check(field.place.line > previous.line || field.place.field > previous.field);
        previous = field.place;
        (void)pickerIndexOf(field.text);
        (void)leadTextOf(field.text);
    }
    if (!reading.complete())
        return 0;

    // Written back, the texts read the same, and writing again is stable.
    const SettingsTexts texts = textsOf(reading);
    const WrittenSettings written = writeSettings(texts, codec);
    check(written.inexact.empty());
    const SettingsReading again = readSettings(written.bytes, codec);
    check(again.complete());
    check(textsOf(again) == texts);
    check(writeSettings(textsOf(again), codec).bytes == written.bytes);
    return 0;
}
