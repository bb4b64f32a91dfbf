#pragma once

#include <QPageLayout>

class QPagedPaintDevice;

namespace qm::reports {
struct ClassListDocument;
}

namespace qm::printing {

// The page class lists are printed on: A4, upright, margins of 15 mm.
QPageLayout classListPageLayout();

// Paints the class lists onto the pages of a printer or a PDF writer, from its first page on,
// whatever its page size: each class on a page of its own with the school, the class, the
// project, the head counts and the date, the students in a table, and a line for the class
// teacher's signature; every page numbered at its foot. The students of a large class stand in
// two or three tables side by side, in smaller text and closer rows (no smaller than 7 points); a
// class that fits no page even so goes on over more pages, its headings repeated and the
// signature on its last page.
// Returns the number of pages painted; a UserError when the device cannot be painted on.
int paintClassLists(QPagedPaintDevice& device, const reports::ClassListDocument& document);

}  // namespace qm::printing
