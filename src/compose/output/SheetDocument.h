#pragma once

#include "compose/output/SheetOutput.h"
#include "compose/output/VectorSheet.h"

#include <optional>
#include <vector>

namespace vexilo {

class Sheet;

// The pages of a document in order, each a sheet of canvases; they outlive the save.
using SheetPages = std::vector<const CanvasSource *>;

// Every page of the sheet as a sheet of its own, the first page first.
std::vector<Sheet> pagesOf(const Sheet &sheet);
template <class Page> SheetPages sheetPages(const std::vector<Page> &pages)
{
    SheetPages pointers;
    for (const Page &page : pages)
        pointers.push_back(&page);
    return pointers;
}

// The files a save of the pages writes. One page: outputFileNames's, exactly. Several: one PDF
// of every page, or for page N the files outputFileNames gives the name "ИМЯ_стрN"
// ("ИМЯ_стр2.png", "ИМЯ_стр2_ряд1.bmp" …).
QStringList documentFileNames(const QString &chosenName, const QString &Razdelitel,
                              const SheetPages &pages, const OutputOptions &options);

// Writes the pages to the files documentFileNames names, all of them or none, as writeSheet
// writes one sheet (which a single page is). A PDF holds every page, each placed and turned
// for its own sheet; one page is drawn and written before the next is drawn.
SafeWriteResult writeDocument(const SheetPages &pages, const QStringList &names,
                              const OutputOptions &options, const SafeWriteHook &hook = {});

// A vector set's sheet on its PDF page: at the size of its CSS pixels, within the margins.
// Nothing when the margins leave no room.
std::optional<VectorPdfPage> vectorPdfPage(const CanvasSource &source,
                                           const OutputOptions &options);

} // namespace vexilo
