// A long report is written in parts, each part a PDF document of its own
// (from a QPdfWriter of its own, on a thread of its own); the parts are then
// joined into one document here. The pages keep their order, their sizes,
// their fonts and their text; the document information (title, creator) is
// the first part's.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

namespace t21 {

// Joins the PDF documents `teile` (as QPdfWriter writes them: one
// cross-reference table, a page tree) into pdf: first the pages of the first
// part, then those of the second, and so on. Embedded font subsets of
// different parts get distinct names. False, with fehler set and pdf left
// empty, when a part cannot be read.
bool PdfTeileZusammenfuegen(const std::vector<QByteArray>& teile, QByteArray& pdf,
                            std::string& fehler);

// The number of pages of a PDF document as above; -1 when it cannot be read.
int PdfSeitenzahl(const QByteArray& pdf);

}  // namespace t21
