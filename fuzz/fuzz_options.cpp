// The settings file reader on any bytes: list indexes always in range, and what is read,
// written and read again gives the same values.
#include "FuzzCheck.h"

#include "common/Text1251.h"
#include "shell/OptionsFile.h"

#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

// Whether the file can hold the folder name as it is.
bool representable(const QString &folder)
{
    return !folder.contains(QLatin1Char('\r')) && !folder.contains(QLatin1Char('\n')) &&
           fromWindows1251(toWindows1251(folder)) == folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // What start-up hands the reader: no folder and no size check yet.
    const OptionsValues startUp;
    const OptionsValues values = readOptionsFile(bytes, startUp);
    FUZZ_CHECK(values.XYMesyac >= 0 && values.XYMesyac <= 3);
    FUZZ_CHECK(values.KolMesyacev >= 0 && values.KolMesyacev <= 1);
    FUZZ_CHECK(values.Mesyac >= 0 && values.Mesyac <= 11);
    FUZZ_CHECK(!values.PapkaKartinok.contains(QLatin1Char('\r')));
    FUZZ_CHECK(!values.PapkaKartinok.contains(QLatin1Char('\n')));

    const QByteArray written = optionsFileContent(values);
    FUZZ_CHECK(written.count("\r\n") == 12 && written.endsWith("\r\n\r\n"));
    // Read over different current values: everything must come from the file.
    OptionsValues other;
    other.PapkaKartinok = QStringLiteral("другая");
    other.ProverkaRazmerov = 7;
    const OptionsValues again = readOptionsFile(written, other);
    FUZZ_CHECK(again.XYMesyac == values.XYMesyac);
    FUZZ_CHECK(again.Rassttoyanie == values.Rassttoyanie);
    FUZZ_CHECK(again.KolMesyacev == values.KolMesyacev);
    FUZZ_CHECK(again.Mesyac == values.Mesyac);
    FUZZ_CHECK(again.ProverkaRazmerov == values.ProverkaRazmerov);
    FUZZ_CHECK(again.PapkaKartinok ==
               (representable(values.PapkaKartinok) ? values.PapkaKartinok : QString()));
    FUZZ_CHECK(optionsFileContent(again) == written);
    return 0;
}
