// The holiday file reader on any bytes: the store stays consistent, and what is read, written
// and read again is the same store.
#include "FuzzCheck.h"

#include "holidays/PrazdnikiFile.h"

#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

void checkConsistent(const PrazdnikiStore &store)
{
    FUZZ_CHECK(store.KolGodov() >= -1);
    FUZZ_CHECK(store.KolGodov() < kMaxFileYears);
    for (qint32 i = 0; i <= store.KolGodov(); ++i) {
        FUZZ_CHECK(store.entry(i) != nullptr);
        // A file never flags a year removed.
        FUZZ_CHECK(store.entry(i)->DelGod == 0);
    }
    FUZZ_CHECK(store.entry(store.KolGodov() + 1) == nullptr || store.KolGodov() == -1);
}

// The same years in the same order with the same marks on the days a calendar has.
void checkSameYears(const PrazdnikiStore &a, const PrazdnikiStore &b)
{
    FUZZ_CHECK(a.KolGodov() == b.KolGodov());
    for (qint32 i = 0; i <= a.KolGodov(); ++i) {
        const clsPrazdniki *x = a.entry(i);
        const clsPrazdniki *y = b.entry(i);
        FUZZ_CHECK(x->God == y->God);
        for (qint32 M = 1; M <= 12; ++M)
            for (qint32 D = 1; D <= 31; ++D)
                FUZZ_CHECK(x->mark(M, D) == y->mark(M, D));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    PrazdnikiStore store;
    readPrazdniki(bytes, store);
    checkConsistent(store);

    const QByteArray written = writePrazdniki(store);
    FUZZ_CHECK(written.endsWith("\r\n\r\n"));
    PrazdnikiStore again;
    readPrazdniki(written, again);
    checkConsistent(again);
    checkSameYears(store, again);
    FUZZ_CHECK(writePrazdniki(again) == written);
    return 0;
}
